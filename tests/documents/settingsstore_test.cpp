#include <gtest/gtest.h>

#include "documents/MemorySettingsStore.h"
#include "documents/RegistryLayout.h"

using namespace pavilo;

TEST(RegistryLayout, KeysLiveUnderTheCompanyAndProduct)
{
    EXPECT_EQ(registry::BaseKey(), "\\Software\\Quorvel\\Pavilo");
    EXPECT_EQ(registry::FileKeyPath(3), "\\Software\\Quorvel\\Pavilo\\Files\\File_3");
    EXPECT_EQ(registry::ObjectKeyPath(registry::FilesKeyPath(), 0), "\\Software\\Quorvel\\Pavilo\\Files\\Object_0");
    EXPECT_EQ(registry::ToolbarKeyPath("Standard"), "\\Software\\Quorvel\\Pavilo\\Toolbars\\Standard");
}

TEST(SplitKeyPath, BothSeparatorsAndNoEmptyParts)
{
    EXPECT_EQ(SplitKeyPath("\\Software\\Quorvel//Pavilo/Files\\"),
              (std::vector<std::string>{"Software", "Quorvel", "Pavilo", "Files"}));
    EXPECT_TRUE(SplitKeyPath("\\").empty());
}

TEST(MemorySettingsStore, TypedValuesWithNamesMatchedIgnoringCase)
{
    TMemorySettingsStore store;
    EXPECT_EQ(store.OpenKey("\\Software\\A", false), nullptr);
    auto key = store.OpenKey("\\Software\\A\\B", true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteString("LEft", "text"));
    EXPECT_TRUE(key->WriteInteger("width", 640));
    EXPECT_TRUE(key->WriteBool("Open", true));
    EXPECT_TRUE(store.KeyExists("/software/a/b"));

    auto again = store.OpenKey("\\SOFTWARE\\a\\b", false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ReadString("left"), "text");
    EXPECT_EQ(again->ReadInteger("WIDTH"), 640);
    EXPECT_EQ(again->ReadBool("open"), true);
    // The wrong kind reads as missing.
    EXPECT_EQ(again->ReadInteger("LEft"), std::nullopt);
    EXPECT_EQ(again->ReadString("width"), std::nullopt);
    EXPECT_EQ(again->ReadString("Missing"), std::nullopt);
    EXPECT_EQ(again->ValueNames(), (std::vector<std::string>{"LEft", "width", "Open"}));
    // Rewriting under another spelling keeps one value, spelled anew.
    EXPECT_TRUE(again->WriteInteger("WIDTH", 1));
    EXPECT_EQ(again->ValueNames(), (std::vector<std::string>{"LEft", "WIDTH", "Open"}));
    EXPECT_TRUE(again->DeleteValue("open"));
    EXPECT_FALSE(again->DeleteValue("open"));

    EXPECT_TRUE(store.DeleteKey("\\Software\\A"));
    EXPECT_FALSE(store.KeyExists("\\Software\\A\\B"));
    EXPECT_FALSE(store.DeleteKey("\\Software\\A"));
    // A key deleted behind an open handle reads as empty.
    EXPECT_EQ(key->ReadString("LEft"), std::nullopt);
}

TEST(MemorySettingsStore, AFailingStoreRefusesEverything)
{
    TMemorySettingsStore store;
    auto key = store.OpenKey("\\A", true);
    store.SetFailing(true);
    EXPECT_EQ(store.OpenKey("\\A", false), nullptr);
    EXPECT_FALSE(key->WriteInteger("x", 1));
    EXPECT_FALSE(store.DeleteKey("\\A"));
}
