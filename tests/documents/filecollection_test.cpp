#include <gtest/gtest.h>

#include "documents/DocTestSupport.h"
#include "documents/MemorySettingsStore.h"
#include "documents/PVPStore.h"
#include "documents/RegistryLayout.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;
using namespace pavilo::testing;

namespace {

void saveFile(const std::string& path, const std::string& rootTitle)
{
    auto doc = MakePresentation(rootTitle);
    ASSERT_TRUE(SaveDocument(path, doc.get()));
}

} // namespace

TEST(FileCollection, DisplayNameDropsMarkFolderAndExtension)
{
    struct Case {
        const char* fileName;
        const char* shown;
    } cases[] = {
        {"?Untitled.pvp", "Untitled"}, {"?Untitled.pvt", "Untitled"}, {"/docs/Tour.pvp", "Tour"},
        {"/docs/.pvp", "Untitled"},    {"", "Untitled"},              {"/docs/my.talk.pvp", "my.talk"},
        {"/docs/Notes", "Notes"},      {"?", "Untitled"},
    };
    for (const Case& c : cases) {
        TFileCollectionItem item(0);
        item.SetFileName(c.fileName);
        EXPECT_EQ(item.DisplayName(), c.shown) << c.fileName;
    }
}

TEST(FileCollection, AddNewPutsAnOpenUntitledDocumentFirst)
{
    TFileCollection files;
    TFileCollectionItem* first = files.AddNew("?Untitled.pvt");
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    ASSERT_EQ(files.Count(), 2);
    EXPECT_EQ(files.Items(0), item);
    EXPECT_EQ(files.Items(1), first);
    EXPECT_FALSE(item->Closed());
    EXPECT_FALSE(item->Saved());
    auto* file = dynamic_cast<TFileNode*>(item->Node());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileKind(), fkPresentation);
    EXPECT_EQ(file->TransactionManager(), &item->TransactionManager());
    EXPECT_EQ(item->DisplayName(), "Untitled");
    EXPECT_EQ(dynamic_cast<TFileNode*>(first->Node())->FileKind(), fkToolbox);
}

TEST(FileCollection, RunningIdsAreNeverReused)
{
    TFileCollection files;
    TFileCollectionItem* a = files.Add();
    TFileCollectionItem* b = files.Add();
    int idB = b->ID();
    EXPECT_NE(a->ID(), idB);
    files.Delete(b);
    EXPECT_EQ(files.FindItemID(idB), nullptr);
    TFileCollectionItem* c = files.Add();
    EXPECT_GT(c->ID(), idB);
    EXPECT_EQ(files.FindItemID(a->ID()), a);
    EXPECT_EQ(files.FindItemID(c->ID()), c);
}

TEST(FileCollection, OpenFileReusesAnEntryWhateverTheCaseOfItsName)
{
    TScratchDir dir;
    saveFile(dir / "tour.pvp", "Stored title");
    TFileCollection files;
    files.AddNew("?Untitled.pvp");
    TFileCollectionItem* remembered = files.Add();
    remembered->SetFileName(dir / "TOUR.PVP");

    TFileCollectionItem* item = files.OpenFile(dir / "tour.pvp", false);
    EXPECT_EQ(item, remembered);
    EXPECT_EQ(files.Count(), 2);
    EXPECT_EQ(files.Items(0), item);
    EXPECT_FALSE(item->Closed());
    EXPECT_EQ(item->FileName(), dir / "tour.pvp");

    TFileCollectionItem* again = files.OpenFile(dir / "tour.pvp", true);
    EXPECT_NE(again, item);
    EXPECT_EQ(files.Count(), 3);
    EXPECT_EQ(files.Items(0), again);
}

TEST(FileCollection, OpenFileNamesTheDocumentAfterItsFileAndKeepsItUnmodified)
{
    TScratchDir dir;
    saveFile(dir / "Tour.pvp", "Stored title");
    TFileCollection files;
    TFileCollectionItem* item = files.OpenFile(dir / "Tour.pvp", false);
    ASSERT_NE(item->Node(), nullptr);
    auto* file = dynamic_cast<TFileNode*>(item->Node());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Title(), "Tour");
    EXPECT_EQ(file->FileName(), dir / "Tour.pvp");
    EXPECT_EQ(RootOf(file)->Title(), "Tour");
    EXPECT_FALSE(item->Modified());

    // A toolbox keeps the titles of its tool tabs.
    auto box = MakePresentation("Pages tab");
    ASSERT_TRUE(SaveDocument(dir / "Box.pvt", box.get()));
    TFileCollectionItem* boxItem = files.OpenFile(dir / "Box.pvt", false);
    EXPECT_EQ(RootOf(boxItem->Node())->Title(), "Pages tab");
    EXPECT_EQ(dynamic_cast<TFileNode*>(boxItem->Node())->FileKind(), fkToolbox);
}

TEST(FileCollection, OpenFileThatFailsLeavesARememberedEntryInPlace)
{
    TScratchDir dir;
    WriteFileBytes(dir / "junk.pvp", "not a document at all");
    TFileCollection files;
    files.AddNew("?Untitled.pvp");
    for (const std::string& name : {dir / "missing.pvp", dir / "junk.pvp", dir.Path()}) {
        TFileCollectionItem* item = files.OpenFile(name, false);
        EXPECT_TRUE(item->Closed()) << name;
        EXPECT_EQ(item->Node(), nullptr);
        EXPECT_EQ(item->FileName(), name);
        EXPECT_EQ(files.Items(files.Count() - 1), item) << "a failed open is not moved to the front";
    }
}

TEST(FileCollection, ModifiedFollowsTheTreeAndCloseEntryKeepsTheEntry)
{
    TFileCollection files;
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    auto* root = new TRootNode;
    root->SetParent(item->Node());
    item->Node()->ForEachNode([](TNode* n) { n->SetModified(false); });
    EXPECT_FALSE(item->Modified());
    auto* page = new TPageNode;
    page->SetParent(root);
    page->SetModified(false);
    root->SetModified(false);
    item->Node()->SetModified(false);
    page->SetTitle("Changed");
    EXPECT_TRUE(item->Modified());

    files.AddNew("?Untitled.pvt");
    ASSERT_EQ(files.Items(1), item);
    files.CloseEntry(item);
    EXPECT_EQ(files.Items(0), item);
    EXPECT_TRUE(item->Closed());
    EXPECT_EQ(item->Node(), nullptr);
    EXPECT_FALSE(item->Modified());
    EXPECT_EQ(files.Count(), 2);
}

TEST(FileCollection, SaveAsIntoAMissingFolderCreatesItAndRenamesTheDocument)
{
    TScratchDir dir;
    TFileCollection files;
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    auto* root = new TRootNode;
    root->SetParent(item->Node());
    files.AddNew("?Untitled.pvt");
    std::string target = dir / "New/Deeper/Talk.pvp";

    files.SaveAs(item, target);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(item->FileName(), target);
    EXPECT_EQ(files.Items(0), item);
    EXPECT_EQ(root->Title(), "Talk");
    EXPECT_EQ(dynamic_cast<TFileNode*>(item->Node())->Title(), "Talk");
    EXPECT_FALSE(item->Modified());
    EXPECT_EQ(DirEntries(dir / "New/Deeper"), std::set<std::string>{"Talk.pvp"});
    EXPECT_NE(LoadDocument(target), nullptr);
}

TEST(FileCollection, SavingOverADocumentKeepsThePreviousOneAsBak)
{
    TScratchDir dir;
    saveFile(dir / "Tour.pvp", "First");
    std::string before = ReadFileBytes(dir / "Tour.pvp");
    WriteFileBytes(dir / "Tour.tmp", "left over from a crash");
    TFileCollection files;
    TFileCollectionItem* item = files.OpenFile(dir / "Tour.pvp", false);
    RootOf(item->Node())->SetCustomerName("Second");
    ASSERT_TRUE(item->Modified());

    files.Save(item);
    EXPECT_TRUE(item->Saved());
    EXPECT_FALSE(item->Modified());
    EXPECT_EQ(DirEntries(dir.Path()), (std::set<std::string>{"Tour.pvp", "Tour.bak"}));
    EXPECT_EQ(ReadFileBytes(dir / "Tour.bak"), before);
    auto saved = LoadDocument(dir / "Tour.pvp");
    EXPECT_EQ(RootOf(saved.get())->CustomerName(), "Second");

    // A second save replaces the backup with the first save's result.
    std::string second = ReadFileBytes(dir / "Tour.pvp");
    files.Save(item);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(ReadFileBytes(dir / "Tour.bak"), second);
}

TEST(FileCollection, SaveAsANameEndingInTmpOrBakKeepsTheDocumentSafe)
{
    struct Case {
        const char* name;
        const char* backup;
    } cases[] = {{"Draft.tmp", "Draft.bak"}, {"Draft.bak", "Draft.bak.bak"}};
    for (const Case& c : cases) {
        TScratchDir dir;
        saveFile(dir / c.name, "Old");
        std::string before = ReadFileBytes(dir / c.name);
        TFileCollection files;
        TFileCollectionItem* item = files.OpenFile(dir / c.name, false);
        ASSERT_FALSE(item->Closed());
        RootOf(item->Node())->SetCustomerName("New");
        files.Save(item);
        EXPECT_TRUE(item->Saved()) << c.name;
        EXPECT_EQ(RootOf(LoadDocument(dir / c.name).get())->CustomerName(), "New") << c.name;
        EXPECT_EQ(ReadFileBytes(dir / c.backup), before) << c.name;
        EXPECT_EQ(DirEntries(dir.Path()), (std::set<std::string>{c.name, c.backup}));
    }
}

TEST(FileCollection, SaveAsRefusals)
{
    TScratchDir dir;
    TFileCollection files;
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    try {
        files.SaveAs(item, "Talk.pvp");
        FAIL() << "a name without a folder must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to create directory");
    }
    EXPECT_FALSE(item->Saved());

    files.SaveAs(item, dir / ".pvp");
    EXPECT_FALSE(item->Saved());
    EXPECT_TRUE(DirEntries(dir.Path()).empty());

    TFileCollectionItem* closed = files.Add();
    closed->SetFileName(dir / "Closed.pvp");
    files.Save(closed);
    files.SaveAs(closed, dir / "Closed.pvp");
    EXPECT_FALSE(closed->Saved());
    EXPECT_TRUE(DirEntries(dir.Path()).empty());
}

TEST(FileCollection, SaveToRegistryKeepsOpenEntriesAndTenClosedOnes)
{
    TMemorySettingsStore store;
    // Stale keys from an earlier, longer list.
    for (int n = 0; n < 20; ++n)
        store.OpenKey(registry::FileKeyPath(n), true)->WriteString("FileName", "/old/" + std::to_string(n));

    TFileCollection files(&store);
    std::vector<std::pair<std::string, bool>> expected;
    int closedSeen = 0;
    for (int i = 0; i < 15; ++i) {
        bool open = i == 1 || i == 7 || i == 14;
        TFileCollectionItem* item = files.Add();
        item->SetFileName("/docs/Doc" + std::to_string(i) + ".pvp");
        item->SetClosed(!open);
        if (open || ++closedSeen <= 10)
            expected.emplace_back(item->FileName(), !open);
    }
    files.Add(); // no name: never written
    files.SaveToRegistry();

    ASSERT_EQ(expected.size(), 13u);
    for (int n = 0; n < 13; ++n) {
        auto key = store.OpenKey(registry::FileKeyPath(n), false);
        ASSERT_NE(key, nullptr) << n;
        EXPECT_EQ(key->ReadString("FileName"), expected[n].first) << n;
        EXPECT_EQ(key->ReadInteger("Closed"), expected[n].second ? 1 : 0) << n;
    }
    for (int n = 13; n < 20; ++n)
        EXPECT_FALSE(store.KeyExists(registry::FileKeyPath(n))) << n;
    // The last open entry comes after ten closed ones and is still written.
    EXPECT_EQ(expected.back().first, "/docs/Doc14.pvp");

    TFileCollection reread(&store);
    reread.LoadFromRegistry();
    ASSERT_EQ(reread.Count(), 13);
    for (int n = 0; n < 13; ++n) {
        EXPECT_EQ(reread.Items(n)->FileName(), expected[n].first);
        EXPECT_EQ(reread.Items(n)->Closed(), expected[n].second);
        EXPECT_EQ(reread.Items(n)->Node(), nullptr);
    }
}

TEST(FileCollection, LoadFromRegistryDropsEntriesWithUnreadableValues)
{
    TMemorySettingsStore store;
    auto write = [&store](int n, const char* name, std::optional<int> closed) {
        auto key = store.OpenKey(registry::FileKeyPath(n), true);
        if (name)
            key->WriteString("FileName", name);
        if (closed)
            key->WriteInteger("Closed", *closed);
    };
    write(0, "/docs/A.pvp", 0);
    write(1, "/docs/B.pvp", 7);
    write(2, "/docs/C.pvp", std::nullopt);
    write(3, nullptr, 1);
    write(4, "/docs/E.pvp", 1);
    store.OpenKey(registry::FileKeyPath(5), true)->WriteInteger("FileName", 5); // wrong kind
    write(7, "/docs/after-gap.pvp", 1);

    TFileCollection files(&store);
    files.LoadFromRegistry();
    ASSERT_EQ(files.Count(), 3);
    EXPECT_EQ(files.Items(0)->FileName(), "/docs/A.pvp");
    EXPECT_FALSE(files.Items(0)->Closed());
    EXPECT_EQ(files.Items(1)->FileName(), "/docs/B.pvp");
    EXPECT_TRUE(files.Items(1)->Closed());
    EXPECT_EQ(files.Items(2)->FileName(), "/docs/E.pvp");
}

TEST(FileCollection, RegistryPassesEndSilentlyWithoutAStore)
{
    TMemorySettingsStore empty;
    TFileCollection files(&empty);
    files.LoadFromRegistry();
    EXPECT_EQ(files.Count(), 0);

    TMemorySettingsStore failing;
    failing.SetFailing(true);
    TFileCollection more(&failing);
    more.AddNew("?Untitled.pvp")->SetFileName("/docs/A.pvp");
    more.SaveToRegistry();
    more.LoadFromRegistry();
    EXPECT_EQ(more.Count(), 1);
}
