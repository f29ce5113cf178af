// A save must never cost the user the document already on disk: every file
// operation of the sequence is made to fail in turn, then real faults of
// the machine (read-only and full file systems, a folder in the way).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

#include "documents/DocTestSupport.h"
#include "documents/PVPStore.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;
using namespace pavilo::testing;

namespace {

// The machine's file system, with the Nth changing operation failing. A
// failing write leaves half the bytes behind, as a full disk does.
class TFaultyFileSystem : public TFileSystem {
public:
    explicit TFaultyFileSystem(int failAt) : m_failAt(failAt) {}

    TPathKind Kind(const std::string& path) override { return native().Kind(path); }
    bool CreateDirectory(const std::string& path) override
    {
        return step("mkdir " + name(path)) && native().CreateDirectory(path);
    }
    bool DeleteFile(const std::string& path) override
    {
        return step("delete " + name(path)) && native().DeleteFile(path);
    }
    bool WriteFile(const std::string& path, std::string_view bytes) override
    {
        if (!step("write " + name(path))) {
            native().WriteFile(path, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return native().WriteFile(path, bytes);
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return step("rename " + name(from) + " " + name(to)) && native().Rename(from, to);
    }

    bool Failed() const { return m_failed; }
    const std::vector<std::string>& Steps() const { return m_steps; }

private:
    static TFileSystem& native() { return NativeFileSystem(); }
    static std::string name(const std::string& path) { return FileNameOnly(path); }
    bool step(const std::string& what)
    {
        m_steps.push_back(what);
        if (static_cast<int>(m_steps.size()) == m_failAt) {
            m_failed = true;
            return false;
        }
        return true;
    }

    int m_failAt;
    bool m_failed = false;
    std::vector<std::string> m_steps;
};

// Opens path into a fresh entry and changes it, so a save has work to do.
TFileCollectionItem* openAndChange(TFileCollection& files, const std::string& path)
{
    TFileCollectionItem* item = files.OpenFile(path, false);
    if (item->Node())
        RootOf(item->Node())->SetCustomerName("changed after opening");
    return item;
}

void expectUntouched(const std::string& path, const std::string& bytes)
{
    EXPECT_EQ(ReadFileBytes(path), bytes) << path;
    EXPECT_NE(LoadDocument(path), nullptr) << path;
}

} // namespace

TEST(SafeSave, EveryFailingStepLeavesTheDocumentOnDiskAsItWas)
{
    const std::vector<std::string> sequence = {
        "delete Tour.tmp", "write Tour.tmp", "delete Tour.bak", "rename Tour.pvp Tour.bak", "rename Tour.tmp Tour.pvp",
    };
    for (int failAt = 1;; ++failAt) {
        TScratchDir dir;
        auto doc = MakePresentation("Original");
        ASSERT_TRUE(SaveDocument(dir / "Tour.pvp", doc.get()));
        const std::string original = ReadFileBytes(dir / "Tour.pvp");
        WriteFileBytes(dir / "Tour.tmp", "stale temporary file");
        WriteFileBytes(dir / "Tour.bak", "older backup");

        TFaultyFileSystem fs(failAt);
        TFileCollection files(nullptr, fs);
        TFileCollectionItem* item = openAndChange(files, dir / "Tour.pvp");
        files.Save(item);
        size_t done = std::min<size_t>(failAt, sequence.size());
        ASSERT_GE(fs.Steps().size(), done);
        EXPECT_EQ(std::vector<std::string>(fs.Steps().begin(), fs.Steps().begin() + done),
                  std::vector<std::string>(sequence.begin(), sequence.begin() + done));
        if (!fs.Failed()) {
            EXPECT_TRUE(item->Saved());
            EXPECT_EQ(ReadFileBytes(dir / "Tour.bak"), original);
            EXPECT_EQ(DirEntries(dir.Path()), (std::set<std::string>{"Tour.pvp", "Tour.bak"}));
            EXPECT_GT(failAt, static_cast<int>(sequence.size()));
            break;
        }
        SCOPED_TRACE("failing: " + sequence[done - 1]);
        // What the failed save undid after the failing step.
        std::vector<std::string> cleanup(fs.Steps().begin() + done, fs.Steps().end());
        if (failAt == 5)
            EXPECT_EQ(cleanup, (std::vector<std::string>{"rename Tour.bak Tour.pvp", "delete Tour.tmp"}));
        else if (failAt >= 2)
            EXPECT_EQ(cleanup, std::vector<std::string>{"delete Tour.tmp"});
        else
            EXPECT_TRUE(cleanup.empty());
        EXPECT_FALSE(item->Saved());
        EXPECT_TRUE(item->Modified()) << "a failed save leaves the changes unsaved";
        expectUntouched(dir / "Tour.pvp", original);
        std::set<std::string> left = DirEntries(dir.Path());
        // The stale temporary file stays only when it was the one that could not go.
        EXPECT_EQ(left.count("Tour.tmp"), failAt == 1 ? 1u : 0u);
        if (failAt == 1)
            EXPECT_EQ(ReadFileBytes(dir / "Tour.tmp"), "stale temporary file");
        // The older backup goes only once the new document is written.
        EXPECT_EQ(left.count("Tour.bak"), failAt <= 3 ? 1u : 0u);
        left.erase("Tour.tmp");
        left.erase("Tour.bak");
        EXPECT_EQ(left, std::set<std::string>{"Tour.pvp"});
    }
}

TEST(SafeSave, FailingToCreateTheFolderWritesNothing)
{
    for (int failAt = 1; failAt <= 4; ++failAt) {
        TScratchDir dir;
        TFaultyFileSystem fs(failAt);
        TFileCollection files(nullptr, fs);
        TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
        (new TRootNode)->SetParent(item->Node());
        files.SaveAs(item, dir / "New/Sub/Talk.pvp");
        if (!fs.Failed()) {
            EXPECT_TRUE(item->Saved());
            EXPECT_EQ(fs.Steps(), (std::vector<std::string>{"mkdir New", "mkdir Sub", "write Talk.tmp",
                                                           "rename Talk.tmp Talk.pvp"}));
            break;
        }
        SCOPED_TRACE("failing: " + fs.Steps().back());
        EXPECT_FALSE(item->Saved());
        EXPECT_EQ(item->FileName(), "?Untitled.pvp");
        EXPECT_FALSE(std::filesystem::exists(dir / "New/Sub/Talk.pvp"));
        EXPECT_FALSE(std::filesystem::exists(dir / "New/Sub/Talk.tmp"));
    }
}

TEST(SafeSave, AFolderInTheWayOfTheDocumentIsLeftAlone)
{
    TScratchDir dir;
    std::filesystem::create_directory(dir / "Tour.pvp");
    WriteFileBytes(dir / "Tour.pvp/inside.txt", "keep me");
    TFileCollection files;
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    files.SaveAs(item, dir / "Tour.pvp");
    EXPECT_FALSE(item->Saved());
    EXPECT_EQ(ReadFileBytes(dir / "Tour.pvp/inside.txt"), "keep me");
    EXPECT_EQ(DirEntries(dir.Path()), std::set<std::string>{"Tour.pvp"});
}

TEST(SafeSave, ATemporaryFileThatCannotBeDeletedStopsTheSave)
{
    TScratchDir dir;
    auto doc = MakePresentation("Original");
    ASSERT_TRUE(SaveDocument(dir / "Tour.pvp", doc.get()));
    const std::string original = ReadFileBytes(dir / "Tour.pvp");
    // A non-empty folder named like the temporary file cannot be unlinked.
    std::filesystem::create_directory(dir / "Tour.tmp");
    WriteFileBytes(dir / "Tour.tmp/x", "x");
    TFileCollection files;
    TFileCollectionItem* item = openAndChange(files, dir / "Tour.pvp");
    files.Save(item);
    EXPECT_FALSE(item->Saved());
    expectUntouched(dir / "Tour.pvp", original);
    EXPECT_EQ(DirEntries(dir.Path()), (std::set<std::string>{"Tour.pvp", "Tour.tmp"}));
}

TEST(SafeSave, AFileWhereTheFolderShouldBeStopsTheSave)
{
    TScratchDir dir;
    WriteFileBytes(dir / "New", "a file, not a folder");
    TFileCollection files;
    TFileCollectionItem* item = files.AddNew("?Untitled.pvp");
    files.SaveAs(item, dir / "New/Talk.pvp");
    EXPECT_FALSE(item->Saved());
    EXPECT_EQ(ReadFileBytes(dir / "New"), "a file, not a folder");
}

// Real file systems mounted for one test; they need the right to mount.
class SafeSaveOnMount : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_mounted)
            ::umount2(m_dir.Path().c_str(), MNT_DETACH);
    }
    bool mountTmpfs(const std::string& options)
    {
        if (::mount("tmpfs", m_dir.Path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
            m_error = std::strerror(errno);
            return false;
        }
        m_mounted = true;
        return true;
    }
    bool remountReadOnly(unsigned long extra = 0)
    {
        if (::mount(nullptr, m_dir.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY | extra, nullptr) != 0) {
            m_error = std::strerror(errno);
            return false;
        }
        return true;
    }
    bool bindOnto(const std::string& source)
    {
        if (::mount(source.c_str(), m_dir.Path().c_str(), nullptr, MS_BIND, nullptr) != 0) {
            m_error = std::strerror(errno);
            return false;
        }
        m_mounted = true;
        return true;
    }

    TScratchDir m_dir;
    bool m_mounted = false;
    std::string m_error;
};

TEST_F(SafeSaveOnMount, AReadOnlyFolderFailsTheSaveAndKeepsTheDocument)
{
    TScratchDir source;
    auto doc = MakePresentation("Original");
    ASSERT_TRUE(SaveDocument(source / "Tour.pvp", doc.get()));
    const std::string original = ReadFileBytes(source / "Tour.pvp");
    if (!bindOnto(source.Path()) || !remountReadOnly(MS_BIND))
        GTEST_SKIP() << "this machine does not allow a read-only bind mount: " << m_error;

    TFileCollection files;
    TFileCollectionItem* item = openAndChange(files, m_dir / "Tour.pvp");
    ASSERT_FALSE(item->Closed());
    files.Save(item);
    EXPECT_FALSE(item->Saved());
    EXPECT_TRUE(item->Modified());
    expectUntouched(m_dir / "Tour.pvp", original);
    EXPECT_EQ(DirEntries(m_dir.Path()), std::set<std::string>{"Tour.pvp"});

    // A new folder cannot be made there either.
    files.SaveAs(item, m_dir / "New/Tour.pvp");
    EXPECT_FALSE(item->Saved());
    EXPECT_EQ(item->FileName(), m_dir / "Tour.pvp");
}

TEST_F(SafeSaveOnMount, AReadOnlyFileSystemFailsTheSave)
{
    if (!mountTmpfs("size=256k"))
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << m_error;
    auto doc = MakePresentation("Original");
    ASSERT_TRUE(SaveDocument(m_dir / "Tour.pvp", doc.get()));
    const std::string original = ReadFileBytes(m_dir / "Tour.pvp");
    if (!remountReadOnly())
        GTEST_SKIP() << "this machine does not allow a read-only remount: " << m_error;

    TFileCollection files;
    TFileCollectionItem* item = openAndChange(files, m_dir / "Tour.pvp");
    files.Save(item);
    EXPECT_FALSE(item->Saved());
    expectUntouched(m_dir / "Tour.pvp", original);
    EXPECT_EQ(DirEntries(m_dir.Path()), std::set<std::string>{"Tour.pvp"});
}

TEST_F(SafeSaveOnMount, AFullFileSystemFailsTheSaveAndFreesWhatItWrote)
{
    if (!mountTmpfs("size=64k"))
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << m_error;
    auto small = MakePresentation("Original");
    ASSERT_TRUE(SaveDocument(m_dir / "Tour.pvp", small.get()));
    const std::string original = ReadFileBytes(m_dir / "Tour.pvp");

    TFileCollection files;
    TFileCollectionItem* item = openAndChange(files, m_dir / "Tour.pvp");
    // Far more page text than the file system holds.
    auto* page = new TPageNode;
    page->Source().SetText(std::string(200 * 1024, 'x'));
    page->SetParent(RootOf(item->Node()));
    files.Save(item);
    EXPECT_FALSE(item->Saved());
    EXPECT_TRUE(item->Modified());
    expectUntouched(m_dir / "Tour.pvp", original);
    EXPECT_EQ(DirEntries(m_dir.Path()), std::set<std::string>{"Tour.pvp"});

    // With the page gone the document fits again, and saves.
    delete page;
    files.Save(item);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(ReadFileBytes(m_dir / "Tour.bak"), original);
}

TEST(SaveLoadedDocumentAs, WritesTheTreeAsItIsAndReportsFailure)
{
    TScratchDir dir;
    auto doc = MakePresentation("Kept title");
    doc->SetProvenance(3, "Some older program");
    std::string expected = DocumentBytes(doc.get());
    SaveLoadedDocumentAs(std::move(doc), dir / "out/Copy.pvp");
    EXPECT_EQ(ReadFileBytes(dir / "out/Copy.pvp"), expected);

    // A relative name lands in the working directory.
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    SaveLoadedDocumentAs(MakePresentation("Relative"), "Relative.pvp");
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_NE(LoadDocument(dir / "Relative.pvp"), nullptr);

    std::filesystem::create_directory(dir / "Busy.pvp");
    try {
        SaveLoadedDocumentAs(MakePresentation("x"), dir / "Busy.pvp");
        FAIL() << "saving onto a folder must fail";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Failed to save file");
    }
}
