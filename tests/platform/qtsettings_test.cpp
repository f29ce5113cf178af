// The per-user settings store on QSettings, in a scratch XDG_CONFIG_HOME set
// before the first use of QSettings; no display needed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>

#include <QCoreApplication>
#include <QSettings>

#include "documents/AppState.h"
#include "documents/PVPStore.h"
#include "documents/RegistryLayout.h"
#include "platform/qt/QtSettingsStore.h"

using namespace pavilo;

namespace {

std::string g_configHome;

std::string iniText()
{
    std::ifstream in(g_configHome + "/Quorvel/Pavilo.ini", std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class QtSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quorvel", "Pavilo");
        settings.clear();
        settings.sync();
    }
};

class TMainWindowStandIn : public TFormStateOwner {
public:
    std::string ClassName() const override { return "TMainForm"; }
    TBounds Bounds() const override { return {12, 34, 1024, 768}; }
    std::string DockedInControlName() const override { return ""; }
};

} // namespace

TEST_F(QtSettingsStoreTest, LivesInTheUsersConfigFolder)
{
    TQtSettingsStore store;
    EXPECT_EQ(store.FileName(), g_configHome + "/Quorvel/Pavilo.ini");
}

TEST_F(QtSettingsStoreTest, KeysBecomeGroupsUnderTheBaseKey)
{
    {
        TQtSettingsStore store;
        auto key = store.OpenKey(registry::FileKeyPath(3), true);
        ASSERT_NE(key, nullptr);
        EXPECT_TRUE(key->WriteString("FileName", "/docs/Tour, final.pvp"));
        EXPECT_TRUE(key->WriteBool("Closed", true));
        EXPECT_TRUE(key->WriteString("Legacy", std::string("caf\xe9", 4)));
        auto base = store.OpenKey(registry::BaseKey(), true);
        EXPECT_TRUE(base->WriteInteger("Quickstart", 0));
        EXPECT_EQ(store.OpenKey("\\Software\\Elsewhere\\Files", true), nullptr);
        EXPECT_TRUE(store.Flush());
    }
    std::string text = iniText();
    EXPECT_NE(text.find("Quickstart=0"), std::string::npos) << text;
    EXPECT_NE(text.find("[Files]"), std::string::npos) << text;
    EXPECT_NE(text.find("File_3\\Closed=1"), std::string::npos) << text;

    TQtSettingsStore again;
    EXPECT_TRUE(again.KeyExists("\\software\\quorvel\\pavilo\\FILES\\file_3"));
    auto key = again.OpenKey(registry::FileKeyPath(3), false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("filename"), "/docs/Tour, final.pvp");
    EXPECT_EQ(key->ReadBool("CLOSED"), true);
    EXPECT_EQ(key->ReadString("Legacy"), std::string("caf\xe9", 4)) << "bytes that are not UTF-8 come back unchanged";
    EXPECT_EQ(key->ReadInteger("FileName"), std::nullopt);
    EXPECT_EQ(again.OpenKey(registry::FileKeyPath(4), false), nullptr);
    EXPECT_TRUE(again.DeleteKey(registry::FileKeyPath(3)));
    EXPECT_FALSE(again.KeyExists(registry::FileKeyPath(3)));
    EXPECT_FALSE(again.DeleteKey(registry::FileKeyPath(3)));
}

TEST_F(QtSettingsStoreTest, DocumentListKeepsOpenEntriesAndTenClosedOnes)
{
    std::vector<std::pair<std::string, bool>> expected;
    {
        TQtSettingsStore store;
        for (int n = 0; n < 20; ++n)
            store.OpenKey(registry::FileKeyPath(n), true)->WriteString("FileName", "/old/" + std::to_string(n));
        TFileCollection files(&store);
        int closedSeen = 0;
        for (int i = 0; i < 15; ++i) {
            bool open = i == 0 || i == 6 || i == 13;
            TFileCollectionItem* item = files.Add();
            item->SetFileName("/docs/Doc" + std::to_string(i) + ".pvp");
            item->SetClosed(!open);
            if (open || ++closedSeen <= 10)
                expected.emplace_back(item->FileName(), !open);
        }
        files.SaveToRegistry();
    }
    ASSERT_EQ(expected.size(), 13u);
    std::string text = iniText();
    EXPECT_NE(text.find("File_12\\FileName=/docs/Doc13.pvp"), std::string::npos) << text;
    EXPECT_EQ(text.find("File_13"), std::string::npos) << text;

    TQtSettingsStore store;
    // An entry whose "Closed" value is missing is dropped on reading.
    store.OpenKey(registry::FileKeyPath(2), false)->DeleteValue("Closed");
    TFileCollection files(&store);
    files.LoadFromRegistry();
    ASSERT_EQ(files.Count(), 12);
    for (int i = 0, n = 0; n < 13; ++n) {
        if (n == 2)
            continue;
        EXPECT_EQ(files.Items(i)->FileName(), expected[n].first);
        EXPECT_EQ(files.Items(i)->Closed(), expected[n].second);
        ++i;
    }
}

TEST_F(QtSettingsStoreTest, WindowRecordsLoadAndSaveThroughTheStore)
{
    const std::string path = registry::FilesKeyPath();
    {
        TQtSettingsStore store;
        auto zero = store.OpenKey(registry::ObjectKeyPath(path, 0), true);
        zero->WriteString("ControlType", "TMainForm");
        zero->WriteInteger("width", 0);
        auto two = store.OpenKey(registry::ObjectKeyPath(path, 2), true);
        two->WriteString("ControlType", "TMainForm");
        two->WriteInteger("width", 640);
    }
    TQtSettingsStore store;
    TMainWindowStandIn mainWindow;
    TApplicationState state(&mainWindow, &store);
    state.SetDesktopSize(1600, 900);
    state.SetHistoryfiles(10);
    state.SetPath(path);
    EXPECT_EQ(state.LoadCount(), 1) << "no record past the gap at Object_1";
    EXPECT_EQ(state.FindPlacement("TMainForm"), nullptr) << "a width of 0 changes nothing";

    store.OpenKey(registry::ObjectKeyPath(path, 0), false)->DeleteValue("WIDTH");
    state.Load();
    const TRegistryCollectionItem* placement = state.FindPlacement("TMainForm");
    ASSERT_NE(placement, nullptr);
    EXPECT_EQ(placement->Width, 1600);
    EXPECT_EQ(placement->Height, 900);

    TFormState formState(&mainWindow);
    formState.SetApplicationState(&state);
    formState.SetWindowState(2);
    state.Save();
    const std::string first = iniText();
    state.Save();
    EXPECT_EQ(iniText(), first) << "saving twice leaves the same keys";
    EXPECT_NE(first.find("Object_0\\LEft=12"), std::string::npos) << first;
    EXPECT_NE(first.find("Object_0\\width=1024"), std::string::npos) << first;
    EXPECT_NE(first.find("Object_0\\Position=2"), std::string::npos) << first;
    EXPECT_EQ(first.find("Object_1"), std::string::npos) << first;
    // A stale key beyond a gap is out of reach: loading stops at the gap.

    TApplicationState next(&mainWindow, &store);
    next.SetPath(path);
    ASSERT_EQ(next.LoadCount(), 1);
    EXPECT_EQ(next.FindPlacement("TMainForm")->Position, 2);
}

int main(int argc, char** argv)
{
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pavilo-config-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return 1;
    g_configHome = pattern;
    setenv("XDG_CONFIG_HOME", g_configHome.c_str(), 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(g_configHome, ec);
    return result;
}
