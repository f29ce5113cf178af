#include "tools/ScanDoc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "tools/LinkedFiles.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"
#include "support/RunCommand.h"

using namespace pavilo;
namespace fs = std::filesystem;

namespace {

using pavilo::testing::TTempDir;
using TDocument = pavilo::testing::TTestDocument;

void writeFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The 1-based position of the occurrence-th copy of what in text.
int32_t positionOf(const std::string& text, const std::string& what, int occurrence)
{
    size_t p = std::string::npos;
    for (int i = 0; i < occurrence; ++i)
        p = text.find(what, p == std::string::npos ? 0 : p + 1);
    return p == std::string::npos ? -1 : static_cast<int32_t>(p) + 1;
}

struct TExpectedLink {
    std::string Link;
    int Occurrence; // which copy of Link in the text the position names
};

struct THtmlCase {
    const char* Name;
    std::string Html;
    int Result;
    std::vector<TExpectedLink> Links;
};

void PrintTo(const THtmlCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ScanHtmlCases : public ::testing::TestWithParam<THtmlCase> {};

TEST_P(ScanHtmlCases, LinksAtTheirFirstCharacter)
{
    const THtmlCase& c = GetParam();
    TDocumentScanner scanner;
    TLinkCollection links;
    int result = scanner.ScanHTML(c.Html, soPageSource, links, 0);
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(scanner.Links(), &links);
    ASSERT_EQ(links.Count(), static_cast<int>(c.Links.size()));
    for (int i = 0; i < links.Count(); ++i) {
        const TLinkInfo& l = links.Items(i);
        const TExpectedLink& e = c.Links[static_cast<size_t>(i)];
        SCOPED_TRACE(e.Link);
        EXPECT_EQ(l.Link, e.Link);
        EXPECT_EQ(l.LinkLength, static_cast<int32_t>(e.Link.size()));
        EXPECT_EQ(l.LinkPosition, positionOf(c.Html, e.Link, e.Occurrence));
        EXPECT_EQ(c.Html.substr(static_cast<size_t>(l.LinkPosition - 1), e.Link.size()), e.Link);
        EXPECT_EQ(l.SourceOrigin, soPageSource);
        EXPECT_TRUE(l.PathName.empty());
    }
}

const char* const styleRules = "body { background: url(bg.gif) } p { background: url( 'p.gif' ) }";

INSTANTIATE_TEST_SUITE_P(
    ScanDoc, ScanHtmlCases,
    ::testing::Values(
        THtmlCase{"QuotedUpperCase", "<IMG SRC='pic.gif'>", 0, {{"pic.gif", 1}}},
        THtmlCase{"Anchor", "<a href=x.htm>go</a>", 0, {{"x.htm", 1}}},
        THtmlCase{"AnchorUpperCase", "<A HREF=x.htm>", 0, {{"x.htm", 1}}},
        THtmlCase{"EndTag", "</a>", 0, {}},
        THtmlCase{"AttributeNotInTable", "<img alt=x.gif>", 0, {}},
        THtmlCase{"ParamMovie", "<param name='Movie' value='intro.swf'>", 0, {{"intro.swf", 1}}},
        THtmlCase{"ParamValueFirst", "<PARAM VALUE=\"a.swf\" NAME=src>", 0, {{"a.swf", 1}}},
        THtmlCase{"ParamOtherName", "<param name='quality' value='high'>", 0, {}},
        THtmlCase{"StyleBlock", std::string("<html><style>") + styleRules + "</style></html>", 0,
                  {{"bg.gif", 1}, {" 'p.gif' ", 1}}},
        THtmlCase{"StyleUpperCaseUrl", "<STYLE>a{background:URL(u.gif)}</STYLE>", 0, {{"u.gif", 1}}},
        THtmlCase{"StyleUnclosedUrl", "<style>p{background:url(a.gif}</style><img src=b.gif>", 1001,
                  {{"b.gif", 1}}},
        THtmlCase{"TextOutsideStyle", "<p>url(a.gif)</p>", 0, {}},
        THtmlCase{"StyleCommentNotScanned", "<style><!-- p{background:url(x.gif)} --></style>", 0, {}},
        THtmlCase{"CommentNotScanned", "<!-- <img src=c.gif> --><img src=d.gif>", 0, {{"d.gif", 1}}},
        THtmlCase{"ScriptBodyNotScanned", "<script src=s.js>var u='<img src=q.gif>';</script>", 0, {{"s.js", 1}}},
        THtmlCase{"SeveralAttributesInOrder", "<img lowsrc=b.gif src=a.gif usemap=#m alt=z>", 0,
                  {{"b.gif", 1}, {"a.gif", 1}, {"#m", 1}}},
        THtmlCase{"RepeatedAttributeTakesTheFirst", "<img src=a.gif src=b.gif>", 0, {{"a.gif", 1}, {"a.gif", 1}}},
        THtmlCase{"ValueAlsoInAnEarlierAttribute", "<img alt=\"pic.gif\" src=\"pic.gif\">", 0, {{"pic.gif", 2}}},
        THtmlCase{"ValueEqualToTheTagName", "<a href=a>", 0, {{"a", 2}}},
        THtmlCase{"ValueInsideTheAttributeName", "<embed src=src pluginspage='http://x.com/'>", 0,
                  {{"src", 2}, {"http://x.com/", 1}}},
        THtmlCase{"LinesAndBreaks",
                  "<html>\r\n<body background=\"bg.jpg\">\r\n<p>Hi</p>\n<img src=b.gif>\r\n<td background=t.gif>",
                  0, {{"bg.jpg", 1}, {"b.gif", 1}, {"t.gif", 1}}},
        THtmlCase{"ErrorKeepsScanning", "a > b<img src=e.gif>", 5, {{"e.gif", 1}}},
        THtmlCase{"SkippedTagWithTheSameText", "<a <img src=x.gif>y<img src=x.gif>", 5, {{"x.gif", 2}}},
        THtmlCase{"ServerScriptBlock", "<% x %><frame src=f.htm>", 0, {{"f.htm", 1}}},
        THtmlCase{"MultiByteTextBefore", "\xC3\xA9t\xC3\xA9 <iframe src=\"\xC3\xA9.htm\">", 0,
                  {{"\xC3\xA9.htm", 1}}},
        THtmlCase{"UnterminatedTag", "<img src=a.gif", 1, {}},
        THtmlCase{"Empty", "", 0, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ScanDoc, EmptyValueIsAReferenceAtItsPlace)
{
    TDocumentScanner scanner;
    TLinkCollection links;
    std::string html = "<p><a href=\"\">x</a>";
    EXPECT_EQ(scanner.ScanHTML(html, soPageSource, links, 0), 0);
    ASSERT_EQ(links.Count(), 1);
    EXPECT_EQ(links.Items(0).Link, "");
    EXPECT_EQ(links.Items(0).LinkLength, 0);
    // Between the quotes, where a new reference would go.
    EXPECT_EQ(links.Items(0).LinkPosition, positionOf(html, "\"\"", 1) + 1);
}

TEST(ScanDoc, StyleLinksCarryTheBlockOffset)
{
    TDocumentScanner scanner;
    TLinkCollection links;
    std::string html = std::string("<p>x</p>\r\n<style>") + styleRules + "</style>";
    ASSERT_EQ(scanner.ScanHTML(html, soElementSource, links, 0), 0);
    ASSERT_EQ(links.Count(), 2);
    int32_t blockBase = positionOf(html, "body", 1) - 1;
    for (const TLinkInfo& l : links) {
        EXPECT_EQ(l.SourceOffset, blockBase);
        EXPECT_EQ(l.SourceOrigin, soElementSource);
    }
    EXPECT_EQ(links.Items(1).Link, " 'p.gif' ");
    EXPECT_EQ(links.Items(1).LinkPosition, positionOf(html, " 'p.gif' ", 1));
}

TEST(ScanDoc, OffsetShiftsEveryPosition)
{
    TDocumentScanner scanner;
    TLinkCollection links;
    std::string html = "<img src=a.gif><style>p{background:url(b.gif)}</style>";
    ASSERT_EQ(scanner.ScanHTML(html, soPageSource, links, 100), 0);
    ASSERT_EQ(links.Count(), 2);
    EXPECT_EQ(links.Items(0).LinkPosition, 100 + positionOf(html, "a.gif", 1));
    EXPECT_EQ(links.Items(0).SourceOffset, 100);
    EXPECT_EQ(links.Items(1).LinkPosition, 100 + positionOf(html, "b.gif", 1));
    EXPECT_EQ(links.Items(1).SourceOffset, 100 + positionOf(html, "p{", 1) - 1);
}

struct TSheetCase {
    const char* Name;
    std::string Css;
    int32_t Offset;
    int Result;
    std::vector<std::string> Links;
};

void PrintTo(const TSheetCase& c, std::ostream* os)
{
    *os << c.Name;
}

class StyleSheetCases : public ::testing::TestWithParam<TSheetCase> {};

TEST_P(StyleSheetCases, UrlReferences)
{
    const TSheetCase& c = GetParam();
    TDocumentScanner scanner;
    TLinkCollection links;
    EXPECT_EQ(scanner.ScanStyleSheet(c.Css, "/site/a.css", links, c.Offset), c.Result);
    ASSERT_EQ(links.Count(), static_cast<int>(c.Links.size()));
    size_t from = 0;
    for (int i = 0; i < links.Count(); ++i) {
        const TLinkInfo& l = links.Items(i);
        const std::string& e = c.Links[static_cast<size_t>(i)];
        size_t at = c.Css.find("(" + e + ")", from) + 1;
        from = at + e.size();
        EXPECT_EQ(l.Link, e);
        EXPECT_EQ(l.LinkPosition, c.Offset + static_cast<int32_t>(at) + 1);
        EXPECT_EQ(l.LinkLength, static_cast<int32_t>(e.size()));
        EXPECT_EQ(l.SourceOffset, c.Offset);
        EXPECT_EQ(l.SourceOrigin, "/site/a.css");
    }
}

INSTANTIATE_TEST_SUITE_P(
    ScanDoc, StyleSheetCases,
    ::testing::Values(
        TSheetCase{"One", "a{background:url(x.gif)}", 0, 0, {"x.gif"}},
        TSheetCase{"BackToBack", "url(a)url(b)", 0, 0, {"a", "b"}},
        TSheetCase{"QuotesAndSpacesKept", "p{background:URL( \"q.gif\" )}", 0, 0, {" \"q.gif\" "}},
        TSheetCase{"ImportAndOffset", "@import url(more.css);\nb{x:Url(b.png)}", 40, 0, {"more.css", "b.png"}},
        TSheetCase{"EmptyReference", "url()", 0, 0, {""}},
        TSheetCase{"Unclosed", "p{background:url(a.gif}", 0, 1001, {}},
        TSheetCase{"UnclosedAfterOne", "url(a) url(b", 0, 1001, {"a"}},
        TSheetCase{"ParenthesisAlone", "(url) f(x) ur(l)", 0, 0, {}},
        TSheetCase{"Empty", "", 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ScanDoc, ScriptIsNotScanned)
{
    TDocumentScanner scanner;
    TLinkCollection links;
    EXPECT_EQ(scanner.ScanScript("x = 'url(a.gif)'; <img src=b.gif>", soPageSource, links, 0), 0);
    EXPECT_EQ(links.Count(), 0);
}

TEST(ScanDoc, TagTable)
{
    TDocumentScanner scanner;
    const TTagCollection& tags = scanner.Tags();
    ASSERT_EQ(tags.Count(), 23);
    EXPECT_EQ(tags.Items(0).TagName(), "a");
    EXPECT_EQ(tags.Items(22).TagName(), "tr");
    const TTagInfo* img = tags.FindTag("IMG");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->Attributes(), (std::vector<std::string>{"src", "dynsrc", "usemap", "vrml", "lowsrc", "href"}));
    const TTagInfo* object = tags.FindTag("Object");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Attributes(),
              (std::vector<std::string>{"codebase", "presurl", "url", "filename", "file", "data"}));
    EXPECT_EQ(tags.FindTag("param"), nullptr);
    EXPECT_EQ(tags.FindTag("style"), nullptr);

    TTagCollection own;
    TTagInfo& first = own.AddTag("x", {"b", "a"});
    own.AddTag("X", {"c"});
    EXPECT_EQ(own.FindTag("x"), &first);
    EXPECT_EQ(first.Attributes(), (std::vector<std::string>{"b", "a"}));
    EXPECT_TRUE(first.HasAttribute("A"));
    EXPECT_FALSE(first.HasAttribute("c"));
}

// A page with a style sheet that names a picture and a second sheet in
// another folder, which names a missing picture.
struct TStyledSite {
    TTempDir Dir;
    TDocument Doc{Dir / "tour.pvp"};
    TPageNode* Page;

    TStyledSite()
    {
        writeFile(Dir / "pic.gif", "GIF89a");
        writeFile(Dir / "img/b.gif", "GIF89a");
        writeFile(Dir / "css/site.css", "body { background: url(../img/b.gif) }\r\n@import url(sub/more.css);\r\n");
        writeFile(Dir / "css/sub/more.css", "p { background: url( c.gif ) }");
        Page = Doc.AddPage("<html><body>\r\n<img src=\"pic.gif\">\r\n<a href=\"http://example.com/\">w</a>"
                           "<a href=mailto:a@example.com>m</a>\r\n</body></html>");
        Page->SetCSSFileName("css/site.css");
    }
};

TEST(ScanDoc, NodeLinksFollowStyleSheets)
{
    TStyledSite site;
    TDocumentScanner scanner;
    std::vector<std::string> added;
    scanner.OnAddLink = [&](TDocumentScanner& sender, TLinkInfo& link) {
        EXPECT_EQ(&sender, &scanner);
        added.push_back(link.Link + "|" + link.PathName);
    };
    int failures = 0;
    scanner.ScanNodeLinks(site.Page, failures);
    EXPECT_EQ(failures, 0);

    struct TRow {
        std::string Link, PathName, Origin;
        int32_t Status;
    };
    const std::vector<TRow> expected = {
        {"pic.gif", site.Dir / "pic.gif", std::string(soPageSource), lsFileExists},
        {"http://example.com/", "http://example.com/", std::string(soPageSource), lsNotLocal},
        {"mailto:a@example.com", "mailto:a@example.com", std::string(soPageSource), lsNotLocal},
        {"css/site.css", site.Dir / "css/site.css", std::string(soPageStyleSheet), lsFileExists},
        {"../img/b.gif", site.Dir / "img/b.gif", site.Dir / "css/site.css", lsFileExists},
        {"sub/more.css", site.Dir / "css/sub/more.css", site.Dir / "css/site.css", lsFileExists},
        {" c.gif ", site.Dir / "css/sub/ c.gif ", site.Dir / "css/sub/more.css", lsFileMissing},
    };
    TLinkCollection& links = site.Page->Links();
    ASSERT_EQ(links.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < links.Count(); ++i) {
        const TLinkInfo& l = links.Items(i);
        const TRow& e = expected[static_cast<size_t>(i)];
        SCOPED_TRACE(e.Link);
        EXPECT_EQ(l.Link, e.Link);
        EXPECT_EQ(l.PathName, e.PathName);
        EXPECT_EQ(l.SourceOrigin, e.Origin);
        EXPECT_EQ(l.LinkStatus(), e.Status);
    }
    EXPECT_EQ(links.Items(0).LinkPosition, positionOf(site.Page->Source().Text(), "pic.gif", 1));
    EXPECT_EQ(links.Items(3).LinkPosition, 0);
    EXPECT_EQ(links.Items(3).LinkLength, 12);
    EXPECT_EQ(links.Items(4).LinkPosition, positionOf("body { background: url(../img/b.gif) }", "../", 1));
    EXPECT_EQ(links.Items(5).LinkPosition, positionOf("body { background: url(../img/b.gif) }\r\n@import url(sub/more.css);", "sub/", 1));

    // Only the style sheet file name has its path when the event fires.
    ASSERT_EQ(added.size(), expected.size());
    EXPECT_EQ(added[0], "pic.gif|");
    EXPECT_EQ(added[3], "css/site.css|" + site.Dir / "css/site.css");

    // A second scan rebuilds the same links.
    scanner.ScanNodeLinks(site.Page, failures);
    EXPECT_EQ(site.Page->Links().Count(), static_cast<int>(expected.size()));
    EXPECT_EQ(failures, 0);
}

TEST(ScanDoc, NodeKindsAndFailures)
{
    TTempDir dir;
    writeFile(dir / "bad.css", "p { background: url(x.gif }");
    TDocument doc(dir / "tour.pvp");
    auto* element = doc.Add<TElementNode>();
    element->Source().SetText("<td background=cell.gif>a > b");
    auto* url = doc.Add<TURLNode>();
    url->SetUrl("notes/intro.htm");
    auto* web = doc.Add<TURLNode>();
    web->SetUrl("HTTP://example.com/");
    auto* empty = doc.Add<TURLNode>();
    auto* wizardPage = doc.Add<TPageWizardNode>();
    wizardPage->Source().SetText("<img src=w.gif>");
    wizardPage->SetCSSFileName("bad.css");
    auto* launcher = doc.Add<TApplicationNode>();
    launcher->Source().SetText("<bgsound src=s.wav>");

    TDocumentScanner scanner;
    int failures = 0;
    scanner.ScanNodeLinks(element, failures);
    EXPECT_EQ(failures, 1); // the ">" in text
    ASSERT_EQ(element->Links().Count(), 1);
    EXPECT_EQ(element->Links().Items(0).SourceOrigin, soElementSource);
    EXPECT_EQ(element->Links().Items(0).PathName, dir / "cell.gif");

    scanner.ScanNodeLinks(url, failures);
    ASSERT_EQ(url->Links().Count(), 1);
    EXPECT_EQ(url->Links().Items(0).SourceOrigin, soUrl);
    EXPECT_EQ(url->Links().Items(0).PathName, dir / "notes/intro.htm");
    EXPECT_EQ(url->Links().Items(0).LinkLength, 15);
    scanner.ScanNodeLinks(web, failures);
    ASSERT_EQ(web->Links().Count(), 1);
    EXPECT_EQ(web->Links().Items(0).PathName, "HTTP://example.com/");
    EXPECT_EQ(web->Links().Items(0).LinkStatus(), lsNotLocal);
    scanner.ScanNodeLinks(empty, failures);
    EXPECT_EQ(empty->Links().Count(), 0);
    EXPECT_EQ(failures, 1);

    scanner.ScanNodeLinks(wizardPage, failures);
    EXPECT_EQ(failures, 2); // the unclosed "url(" of its style sheet
    EXPECT_EQ(wizardPage->Links().Count(), 2);
    scanner.ScanNodeLinks(launcher, failures);
    ASSERT_EQ(launcher->Links().Count(), 1);
    EXPECT_EQ(launcher->Links().Items(0).SourceOrigin, soPageSource);
    EXPECT_EQ(failures, 2);

    scanner.ScanNodeLinks(doc.Root, failures);
    EXPECT_EQ(doc.Root->Links().Count(), 0);
    scanner.ScanNodeLinks(nullptr, failures);
    EXPECT_EQ(failures, 2);
}

TEST(ScanDoc, StyleSheetsNamingEachOtherEnd)
{
    TTempDir dir;
    writeFile(dir / "a.css", "url(a.css) url(b.css)");
    writeFile(dir / "b.css", "url(A.css) url(./a.css)");
    fs::create_symlink(dir / "a.css", dir / "A.css");
    TDocument doc(dir / "tour.pvp");
    TPageNode* page = doc.AddPage("<link rel=stylesheet href=a.css>");
    TDocumentScanner scanner;
    int failures = 0;
    scanner.ScanNodeLinks(page, failures);
    EXPECT_EQ(failures, 0);
    std::vector<std::string> found;
    for (const TLinkInfo& l : page->Links())
        found.push_back(l.Link);
    // a.css is scanned once up its chain; b.css's references to it are
    // recorded but not followed again.
    EXPECT_EQ(found, (std::vector<std::string>{"a.css", "a.css", "b.css", "A.css", "./a.css"}));
}

TEST(ScanDoc, SharedSheetIsScannedForEveryReference)
{
    TTempDir dir;
    writeFile(dir / "s.css", "url(x.gif)");
    TDocument doc(dir / "tour.pvp");
    TPageNode* page = doc.AddPage("<link href=s.css><link href=s.css>");
    TDocumentScanner scanner;
    EXPECT_EQ(scanner.ScanTreeLinks(page), 0);
    // Each reference is its own link, so that a package lists every one.
    EXPECT_EQ(page->Links().Count(), 4);
}

TEST(ScanDoc, TreeScanIsChildrenFirst)
{
    TTempDir dir;
    TDocument doc(dir / "tour.pvp");
    TPageNode* parent = doc.AddPage("<img src=parent.gif>");
    doc.AddPage("<img src=child1.gif>", parent);
    doc.AddPage("<img src=child2.gif>", parent);
    doc.AddPage("<img src=sibling.gif>");
    TDocumentScanner scanner;
    std::vector<std::string> order;
    scanner.OnAddLink = [&](TDocumentScanner&, TLinkInfo& l) { order.push_back(l.Link); };
    EXPECT_EQ(scanner.ScanTreeLinks(doc.File.get()), 0);
    EXPECT_EQ(order, (std::vector<std::string>{"child1.gif", "child2.gif", "parent.gif", "sibling.gif"}));
}

TEST(ScanDoc, CollectListsLocalFilesOnce)
{
    TTempDir dir;
    writeFile(dir / "pic.gif", "GIF89a");
    TDocument doc(dir / "tour.pvp");
    doc.AddPage("<img src=pic.gif><img src=gone.gif><a href=http://example.com/>x</a>");
    doc.AddPage("<img src=PIC.GIF><a href='mailto:x@example.com'>m</a><img src=gone.gif>");
    TDocumentScanner scanner;
    ASSERT_EQ(scanner.ScanTreeLinks(doc.File.get()), 0);
    TLinkCollection target;
    scanner.CollectTreeLinks(doc.File.get(), target);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.Items(0).PathName, dir / "pic.gif");
    EXPECT_EQ(target.Items(1).PathName, dir / "gone.gif");
    EXPECT_EQ(target.Items(1).LinkStatus(), lsFileMissing);

    // The per-node visitor keeps what the target holds already.
    TLinkCollection again;
    again.Assign(target);
    for (TNode* n : doc.Root->Children())
        scanner.CollectNodeLinks(n, again);
    EXPECT_EQ(again.Count(), 2);
}

// The window side of the dialog, recorded.
class TRecordedWindow : public TLinkedFilesWindow {
public:
    TLinkedFiles* Controller = nullptr;
    std::vector<std::string> Calls;
    std::vector<TLinkedFileRow> Rows;
    std::optional<std::string> Chosen;

    std::string FileTypeName(const std::string& path) override
    {
        return path.ends_with(".gif") ? "GIF image" : "";
    }
    void ShowWarning(std::string_view text) override { Calls.push_back("warning:" + std::string(text)); }
    void SetEditButtonsVisible(bool visible) override { Calls.push_back(visible ? "buttons:on" : "buttons:off"); }
    void ShowModal() override
    {
        Calls.push_back("modal");
        Controller->Refill();
    }
    void ClearRows() override { Rows.clear(); }
    void AddRow(const TLinkedFileRow& row) override { Rows.push_back(row); }
    void RemoveRow(const std::string& fullPath) override
    {
        std::erase_if(Rows, [&](const TLinkedFileRow& r) { return r.FullPath() == fullPath; });
    }
    std::optional<std::string> ChooseFile(std::string_view filter) override
    {
        Calls.push_back("choose:" + std::string(filter));
        return Chosen;
    }
    void OpenFile(const std::string& path) override { Calls.push_back("open:" + path); }
};

TEST(LinkedFiles, SizeText)
{
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 Kb"},    {1, "1 Kb"},       {1023, "1 Kb"},          {1024, "1 Kb"},
        {2047, "1 Kb"}, {2048, "2 Kb"}, {5000, "4 Kb"}, {3'000'000'000LL, "2929687 Kb"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(LinkedFileSizeText(bytes), text) << bytes;

    TTempDir dir;
    writeFile(dir / "empty.gif", "");
    writeFile(dir / "small.gif", std::string(1023, 'x'));
    writeFile(dir / "two.gif", std::string(2048, 'x'));
    fs::create_directories(dir / "folder.gif");
    EXPECT_EQ(LinkedFileSize(dir / "empty.gif"), "0 Kb");
    EXPECT_EQ(LinkedFileSize(dir / "small.gif"), "1 Kb");
    EXPECT_EQ(LinkedFileSize(dir / "two.gif"), "2 Kb");
    EXPECT_EQ(LinkedFileSize(dir / "folder.gif"), "0 Kb");
    EXPECT_EQ(LinkedFileSize(dir / "none.gif"), "0 Kb");
}

TEST(LinkedFiles, SubtreeRowsWarningAddAndRemove)
{
    TTempDir dir;
    writeFile(dir / "img/pic.gif", std::string(2048, 'x'));
    writeFile(dir / "notes.txt", "abc");
    TDocument doc(dir / "tour.pvp");
    TPageNode* top = doc.AddPage("<img src=img/pic.gif><a href=http://example.com/>w</a>");
    doc.AddPage("<img src=img/Pic.gif><embed src=gone.mid><p>a > b</p>", top);
    doc.AddPage("<img src=other.gif>"); // outside the subtree

    TDocumentScanner scanner;
    TRecordedWindow window;
    TLinkedFiles dialog(scanner, window);
    window.Controller = &dialog;
    dialog.ShowSubtreeLinks(top);

    EXPECT_EQ(window.Calls, (std::vector<std::string>{"warning:" + std::string(LinkScanWarning), "buttons:off",
                                                        "modal", "buttons:on"}));
    EXPECT_EQ(scanner.Links(), nullptr);
    ASSERT_EQ(window.Rows.size(), 2u);
    // Children first: the child's spelling of the picture is the one kept.
    EXPECT_EQ(window.Rows[0].Name, "Pic.gif");
    EXPECT_EQ(window.Rows[0].Path, dir / "img/");
    EXPECT_EQ(window.Rows[0].Status, "missing");
    EXPECT_EQ(window.Rows[1].Name, "gone.mid");
    EXPECT_EQ(window.Rows[1].Status, "missing");
    EXPECT_EQ(window.Rows[1].Size, "");
    EXPECT_EQ(window.Rows[1].Type, "*** file not found ***");

    // The dialog as the property of the scanner, with add and remove.
    TLinkCollection shown;
    scanner.SetLinks(&shown);
    window.Rows.clear();
    window.Calls.clear();
    window.Chosen = dir / "img/pic.gif";
    EXPECT_TRUE(dialog.AddExecute());
    EXPECT_FALSE(dialog.AddExecute()); // the same path again
    window.Chosen = dir / "notes.txt";
    EXPECT_TRUE(dialog.AddExecute());
    window.Chosen.reset();
    EXPECT_FALSE(dialog.AddExecute());
    EXPECT_EQ(window.Calls[0], "choose:All files (*.*)|*.*");
    ASSERT_EQ(shown.Count(), 2);
    EXPECT_EQ(shown.Items(0).Link, dir / "img/pic.gif");
    EXPECT_EQ(shown.Items(0).SourceOrigin, dir / "img/pic.gif");
    EXPECT_EQ(shown.Items(0).LinkPosition, 0);
    EXPECT_EQ(shown.Items(0).LinkLength, static_cast<int32_t>((dir / "img/pic.gif").size()));
    ASSERT_EQ(window.Rows.size(), 2u);
    EXPECT_EQ(window.Rows[0].Status, "ok");
    EXPECT_EQ(window.Rows[0].Size, "2 Kb");
    EXPECT_EQ(window.Rows[0].Type, "GIF image");
    EXPECT_EQ(window.Rows[1].Size, "1 Kb");
    EXPECT_EQ(window.Rows[1].Type, "Unknown");

    EXPECT_TRUE(dialog.RemoveFile(dir / "IMG/PIC.GIF"));
    EXPECT_FALSE(dialog.RemoveFile(dir / "img/pic.gif"));
    ASSERT_EQ(shown.Count(), 1);
    EXPECT_EQ(shown.Items(0).PathName, dir / "notes.txt");
    dialog.Refill();
    ASSERT_EQ(window.Rows.size(), 1u);
    dialog.OpenRow(window.Rows[0]);
    EXPECT_EQ(window.Calls.back(), "open:" + dir / "notes.txt");
    scanner.SetLinks(nullptr);

    // No node: nothing happens.
    window.Calls.clear();
    dialog.ShowSubtreeLinks(nullptr);
    EXPECT_TRUE(window.Calls.empty());
}

TEST(ScanDoc, LargePage)
{
    // About 50 MB of tags, text, comments, scripts and style blocks.
    std::string unit = "<img src=\"img/a.gif\" alt=x>\r\n<!-- a comment -->\r\n<script>var a = 1 < 2;</script>\r\n"
                       "<style>p { background: url(b.gif) }</style>\r\n";
    for (int i = 0; i < 40; ++i)
        unit += "<p class=c>Some text of the page &amp; more, <b>bold</b> and <i>slanted</i></p>\r\n";
    const size_t units = 50'000'000 / unit.size() + 1;
    std::string html;
    html.reserve(units * unit.size());
    for (size_t i = 0; i < units; ++i)
        html += unit;
    html += "<a href=last.htm>end</a>\r\n";
    TDocument doc("/docs/tour.pvp");
    TPageNode* page = doc.AddPage(std::move(html));
    TDocumentScanner scanner;
    int failures = 0;
    scanner.ScanNodeLinks(page, failures);
    EXPECT_EQ(failures, 0);
    const TLinkCollection& links = page->Links();
    ASSERT_EQ(links.Count(), static_cast<int>(2 * units + 1));
    const std::string& text = page->Source().Text();
    EXPECT_EQ(links.Items(links.Count() - 1).LinkPosition, static_cast<int32_t>(text.rfind("last.htm")) + 1);
    EXPECT_EQ(links.Items(links.Count() - 2).LinkPosition, static_cast<int32_t>(text.rfind("b.gif")) + 1);
}

} // namespace

#ifdef PAVILO_DOC
namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(PaviloDocLinks, PrintsEveryLinkInVisitingOrder)
{
    TTempDir dir;
    writeFile(dir / "pic.gif", "GIF89a");
    writeFile(dir / "site.css", "p{background:url(b.gif)}");
    TDocument doc(dir / "tour.pvp");
    TPageNode* page = doc.AddPage("<img src=pic.gif>");
    page->SetID(7);
    page->SetCSSFileName("site.css");
    auto* child = doc.AddPage("<p>a > b</p><a href=\"http://example.com/\">x</a>", page);
    child->SetID(8);
    ASSERT_TRUE(SaveDocument(dir / "tour.pvp", doc.File.get()));

    std::string out = pavilo::testing::RunCommand(std::string(PAVILO_DOC) + " links '" + dir / "tour.pvp" + "' 2>'" +
                                 dir / "err.txt" + "'").Out;
    auto object = [](int node, const std::string& link, int position, const std::string& path, int status,
                     const std::string& origin, int offset) {
        return "{\"Node\":" + std::to_string(node) + ",\"Link\":\"" + link + "\",\"LinkPosition\":" +
               std::to_string(position) + ",\"LinkLength\":" + std::to_string(link.size()) + ",\"PathName\":\"" +
               path + "\",\"LinkStatus\":" + std::to_string(status) + ",\"SourceOrigin\":\"" + origin +
               "\",\"SourceOffset\":" + std::to_string(offset) + "}";
    };
    std::string expected = "[" + object(8, "http://example.com/", 22, "http://example.com/", 2, "TPageNode.Source", 0) +
                           "," + object(7, "pic.gif", 10, dir / "pic.gif", 0, "TPageNode.Source", 0) + "," +
                           object(7, "site.css", 0, dir / "site.css", 0, "TPageNode.CSSFileName", 0) + "," +
                           object(7, "b.gif", 18, dir / "b.gif", 1, dir / "site.css", 0) + "]\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(readAll(dir / "err.txt"), std::string(LinkScanWarning) + "\n");
}
#endif
