#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "model/LinkResolver.h"
#include "model/PVPObjModel.h"
#include "support/TempDir.h"

using namespace pavilo;
namespace fs = std::filesystem;

namespace {

using pavilo::testing::TTempDir;

// A presentation stored at fileName with one page (returned) under its root.
struct TPresentation {
    std::unique_ptr<TFileNode> File = std::make_unique<TFileNode>();
    TRootNode* Root = new TRootNode;
    TPageNode* Page = new TPageNode;

    explicit TPresentation(const std::string& fileName, const std::string& baseUrl = {})
    {
        File->SetFileName(fileName);
        Root->SetParent(File.get());
        Page->SetParent(Root);
        Page->SetBaseUrl(baseUrl);
    }
};

void touch(const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "x";
}

struct TCase {
    const char* Reference;
    const char* Expected;
};

} // namespace

TEST(LinkResolver, PageInDocumentWithEmptyBaseUrl)
{
    TPresentation doc("/docs/Tour.pvp");
    const TCase cases[] = {
        {"img/a.gif", "/docs/img/a.gif"},
        {"img\\a.gif", "/docs/img/a.gif"},
        {"../shared/b.gif", "/shared/b.gif"},
        {"..\\shared\\b.gif", "/shared/b.gif"},
        {"./img/../a.gif", "/docs/a.gif"},
        {"img/", "/docs/img/"},
        {"<docpath>/c.gif", "/docs/c.gif"},
        {"<DocPath>\\c.gif", "/docs/c.gif"},
        {"see <docpath>/c.gif", "/docs/c.gif"},
        {"HTTP://Example.COM/A.htm", "HTTP://Example.COM/A.htm"},
        {"MailTo:someone@example.com", "MailTo:someone@example.com"},
        {"JavaScript:history.back()", "JavaScript:history.back()"},
        {"https://example.com/a&amp;b", "https://example.com/a&amp;b"},
        {"file:///x.htm", "/x.htm"},
        {"FILE://C:\\x.htm", "C:\\x.htm"},
        {"C:\\x.htm", "C:\\x.htm"},
        {"C:\\Docs\\..\\x.htm", "C:\\x.htm"},
        {"C:\\Docs\\.\\img\\a.gif", "C:\\Docs\\img\\a.gif"},
        {"\\\\server\\share\\x", "\\\\server\\share\\x"},
        {"/abs/./p.htm", "/abs/p.htm"},
        {"\\abs\\p.htm", "/abs/p.htm"},
        {"/../p.htm", "/p.htm"},
        {"a&amp;b.htm", "/docs/a&b.htm"},
        {"a&AMP;b.htm", "/docs/a&b.htm"},
        {"%%wizard-input%%", "%%wizard-input%%"},
        {"%%StyleSheet%%", "%%StyleSheet%%"},
        {"<STYLESHEET>", "<STYLESHEET>"},
        {"", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ResolveReference(doc.Page, c.Reference), c.Expected) << c.Reference;
}

TEST(LinkResolver, PageBaseUrlIsTheBase)
{
    const struct {
        const char* BaseUrl;
        const char* Reference;
        const char* Expected;
    } cases[] = {
        {"D:\\Site\\", "a.htm", "D:\\Site\\a.htm"},
        {"D:\\Site", "a.htm", "D:\\Site\\a.htm"},
        {"D:\\Site\\", "..\\b.htm", "D:\\b.htm"},
        {"/site/", "a.htm", "/site/a.htm"},
        {"/site", "img\\a.gif", "/site/img/a.gif"},
        {"sub", "a.htm", "/docs/sub/a.htm"},
        {"<docpath>/sub/", "a.htm", "/docs/sub/a.htm"},
        {"http://example.com/dir", "a.htm", "http://example.com/dir/a.htm"},
        // The document's folder stays the placeholder's meaning.
        {"/site/", "<docpath>/c.gif", "/docs/c.gif"},
        {"/site/", "/abs.htm", "/abs.htm"},
    };
    for (const auto& c : cases) {
        TPresentation doc("/docs/Tour.pvp", c.BaseUrl);
        EXPECT_EQ(ResolveReference(doc.Page, c.Reference), c.Expected) << c.BaseUrl << " " << c.Reference;
    }
}

TEST(LinkResolver, WithoutDocumentTheProgramFolderIsTheBase)
{
    const std::string app = ProgramDirectory();
    ASSERT_FALSE(app.empty());
    EXPECT_EQ(app.back(), '/');
    std::string exe = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(app, exe.substr(0, exe.rfind('/') + 1));

    EXPECT_EQ(ResolveReference(nullptr, "<apppath>\\help\\a.htm"), app + "help/a.htm");
    EXPECT_EQ(ResolveReference(nullptr, "a.htm"), app + "a.htm");
    EXPECT_EQ(ResolveReference(nullptr, "<docpath>/a.htm"), app + "a.htm");

    // A page of an untitled document, and a page outside any document.
    TPresentation untitled("");
    EXPECT_EQ(ResolveReference(untitled.Page, "a.htm"), app + "a.htm");
    TPageNode loose;
    EXPECT_EQ(ResolveReference(&loose, "img\\a.gif"), app + "img/a.gif");
    // "<apppath>" inside a document still names the program folder.
    TPresentation doc("/docs/Tour.pvp");
    EXPECT_EQ(ResolveReference(doc.Page, "<apppath>/x.css"), app + "x.css");
}

TEST(LinkResolver, NodesOtherThanPagesUseTheDocumentFolder)
{
    TPresentation doc("/docs/Tour.pvp", "/site/");
    auto* url = new TURLNode;
    url->SetParent(doc.Root);
    EXPECT_EQ(ResolveReference(url, "a.htm"), "/docs/a.htm");
    EXPECT_EQ(ResolveReference(doc.Root, "a.htm"), "/docs/a.htm");
    EXPECT_EQ(ResolveReference(doc.File.get(), "a.htm"), "/docs/a.htm");
    // A launcher is a page too.
    auto* app = new TApplicationNode;
    app->SetParent(doc.Root);
    app->SetBaseUrl("/launch/");
    EXPECT_EQ(ResolveReference(app, "a.htm"), "/launch/a.htm");
}

TEST(LinkResolver, ResolveInFolder)
{
    const std::string app = ProgramDirectory();
    const struct {
        const char* Folder;
        const char* Reference;
        std::string Expected;
    } cases[] = {
        {"/pkg/", "img\\a.gif", "/pkg/img/a.gif"},
        {"/pkg", "a.gif", "/pkg/a.gif"},
        {"/pkg/", "<docpath>\\x.htm", "/pkg/x.htm"},
        {"/pkg/", "<apppath>/x.htm", app + "x.htm"},
        {"/pkg/", "..\\..\\x.htm", "/x.htm"},
        {"/pkg/", "C:\\x.htm", "C:\\x.htm"},
        {"/pkg/", "%%wizard-input%%", "%%wizard-input%%"},
        {"", "a.gif", app + "a.gif"},
        {"E:\\Install\\", "a.htm", "E:\\Install\\a.htm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveInFolder(c.Folder, c.Reference), c.Expected) << c.Folder << " " << c.Reference;
}

TEST(LinkResolver, PageBase)
{
    TPresentation doc("/docs/Tour.pvp");
    EXPECT_EQ(PageBase(doc.Page), "/docs/");
    TPresentation site("/docs/Tour.pvp", "D:\\Site\\");
    EXPECT_EQ(PageBase(site.Page), "D:\\Site\\");
    // The base always ends with a separator, as the page's references
    // resolve against it.
    TPresentation posix("/docs/Tour.pvp", "/site");
    EXPECT_EQ(PageBase(posix.Page), "/site/");
    TPresentation drive("/docs/Tour.pvp", "D:\\Site");
    EXPECT_EQ(PageBase(drive.Page), "D:\\Site\\");
    TPresentation index("/docs/Tour.pvp", "/site/index.htm");
    EXPECT_EQ(PageBase(index.Page), "/site/");
    TPresentation url("/docs/Tour.pvp", "http://example.com/dir");
    EXPECT_EQ(PageBase(url.Page), "http://example.com/dir/");
    EXPECT_EQ(PageBase(doc.Root), "/docs/");
    EXPECT_EQ(PageBase(nullptr), ProgramDirectory());
}

TEST(LinkResolver, Canonicalize)
{
    const TCase cases[] = {
        {"/a/b/../c", "/a/c"},
        {"/a//b/./c/", "/a/b/c/"},
        {"/a/b/..", "/a/"},
        {"/..", "/"},
        {"/a&amp;b/c&Amp;d", "/a&b/c&d"},
        {"\\a\\b", "/a/b"},
        {"C:\\..\\x", "C:\\x"},
        {"C:\\a/b\\..\\c", "C:\\a\\c"},
        {"\\\\server\\share\\..\\x", "\\\\server\\x"},
        {"http://h/a/../b&amp;c", "http://h/a/../b&c"},
        {"a/../../b", "../b"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Canonicalize(c.Reference), c.Expected) << c.Reference;

    // Too long a result: only "&amp;" is replaced.
    std::string longWindows = "C:\\" + std::string(300, 'a') + "\\.\\x&amp;y";
    std::string replaced = "C:\\" + std::string(300, 'a') + "\\.\\x&y";
    EXPECT_EQ(Canonicalize(longWindows), replaced);
    std::string longNative = "/" + std::string(5000, 'a') + "/./x&amp;y";
    EXPECT_EQ(Canonicalize(longNative), "/" + std::string(5000, 'a') + "/./x&y");
}

TEST(LinkStatus, ValuesOfResolvedLinks)
{
    TTempDir dir;
    const std::string existing = dir.Path() + "/img/a.gif";
    touch(existing);
    fs::create_directories(dir.Path() + "/folder");
    const struct {
        std::string PathName;
        int32_t Expected;
    } cases[] = {
        {existing, lsFileExists},
        {"file://" + existing, lsFileExists},
        {"FILE://" + existing, lsFileExists},
        {dir.Path() + "/img/missing.gif", lsFileMissing},
        {dir.Path() + "/folder", lsFileMissing},
        {dir.Path() + std::string("/img/a.gif\0x", 12), lsFileMissing},
        {"C:\\Docs\\img\\a.gif", lsFileMissing},
        {"file://C:\\x.htm", lsFileMissing},
        {"\\\\server\\share\\x", lsFileMissing},
        {"mailto:someone@example.com", lsNotLocal},
        {"HTTP://example.com/", lsNotLocal},
        {"javascript:void(0)", lsNotLocal},
        {"img\\a.gif", lsNotLocal},
        {"", lsNotLocal},
    };
    for (const auto& c : cases) {
        TLinkInfo link;
        link.PathName = c.PathName;
        EXPECT_EQ(link.LinkStatus(), c.Expected) << c.PathName;
    }
}

TEST(LinkStatus, FollowsTheFileOfAPageReference)
{
    TTempDir dir;
    TPresentation doc(dir.Path() + "/Tour.pvp");
    TLinkInfo& link = doc.Page->Links().Add();
    link.Link = "img\\a.gif";
    EXPECT_EQ(link.LinkStatus(), lsNotLocal); // not resolved yet
    link.PathName = ResolveReference(doc.Page, link.Link);
    EXPECT_EQ(link.PathName, dir.Path() + "/img/a.gif");
    EXPECT_EQ(link.LinkStatus(), lsFileMissing);
    touch(dir.Path() + "/img/a.gif");
    EXPECT_EQ(link.LinkStatus(), lsFileExists);
    fs::remove(dir.Path() + "/img/a.gif");
    EXPECT_EQ(link.LinkStatus(), lsFileMissing);
}

TEST(LinkInfo, CopiesTheStoredProperties)
{
    TLinkInfo a;
    a.Link = "img\\a.gif";
    a.LinkPosition = 12;
    a.LinkLength = 9;
    a.PathName = "/docs/img/a.gif";
    a.NewLink = "b.gif";
    a.SourceOrigin = "TPageNode.Source";
    a.SourceOffset = 3;
    TLinkInfo b;
    b.Assign(a);
    EXPECT_EQ(b.Link, a.Link);
    EXPECT_EQ(b.LinkPosition, 12);
    EXPECT_EQ(b.LinkLength, 9);
    EXPECT_EQ(b.PathName, a.PathName);
    EXPECT_EQ(b.NewLink, "b.gif");
    EXPECT_EQ(b.SourceOrigin, "TPageNode.Source");
    EXPECT_EQ(b.SourceOffset, 3);

    // A node's links go with AssignNode.
    TPageNode source, copy;
    source.Links().Add().Assign(a);
    copy.AssignNode(&source);
    ASSERT_EQ(copy.Links().Count(), 1);
    EXPECT_EQ(copy.Links().Items(0).PathName, a.PathName);
}
