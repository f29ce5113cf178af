#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "model/LinkResolver.h"
#include "web/PvpMon.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

class RequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartDocumentProtocol();
        show.A->Source().SetText(std::string_view("<html>\r\n<body>A</body>\r\n"));
        show.A->SetCSSFileName("look.css");
        show.C->Source().SetText(std::string_view("<html>\r\n<body>C</body>\r\n"));
        ComposePage(show.A);
        composedA = PageBuffer()->Bytes;
    }
    void TearDown() override { StopDocumentProtocol(); }

    static std::string name(const std::string& path) { return "@" + MonikerName() + ":" + path; }
    TPvpAnswer ask(const std::string& displayName)
    {
        TPVPMoniker moniker;
        TPvpAnswer answer = moniker.ParseDisplayName(displayName);
        EXPECT_EQ(moniker.RequestUrl, displayName);
        return answer;
    }
    static std::string content()
    {
        TPVPMoniker moniker;
        return moniker.OpenContent()->Bytes();
    }

    TExampleShow show;
    std::string composedA;
};

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

TEST_F(RequestTest, RootServesTheBufferUnchanged)
{
    const TPvpAnswer a = ask(name("/"));
    EXPECT_EQ(a.Kind, TPvpAnswer::paPage);
    EXPECT_EQ(content(), composedA);
    EXPECT_EQ(CurrentPageNode(), show.A);
}

TEST_F(RequestTest, RootInAnotherCaseFallsThroughToTheFileRule)
{
    const TPvpAnswer a = ask(upper(name("/")));
    EXPECT_EQ(a.Kind, TPvpAnswer::paRedirect);
    EXPECT_EQ(a.Target, "/");
}

TEST_F(RequestTest, IdRequests)
{
    struct Case {
        std::string Path;
        std::string Expected; // the buffer afterwards
    } cases[] = {
        {"/id=7", "C"},
        {"/ID=7", "C"},
        {"/Id=+7", "C"},
        {"/id=7x", "A"},   // not a decimal integer: unchanged
        {"/id=", "A"},
        {"/id=9999", "black"}, // no such node
        {"/id=-1", "black"},
    };
    for (const Case& c : cases) {
        ComposePage(show.A);
        const TPvpAnswer a = ask(name(c.Path));
        EXPECT_EQ(a.Kind, TPvpAnswer::paPage) << c.Path;
        const std::string bytes = PageBuffer()->Bytes;
        if (c.Expected == "black")
            EXPECT_EQ(bytes, kBlackPage) << c.Path;
        else
            EXPECT_NE(bytes.find("<body>" + c.Expected + "</body>"), std::string::npos) << c.Path;
    }
    // The whole prefix may be in any case.
    ComposePage(show.A);
    ask(upper(name("/id=7")));
    EXPECT_EQ(CurrentPageNode(), show.C);
}

TEST_F(RequestTest, StyleSheetOfTheCurrentPage)
{
    TPvpAnswer a = ask(name("/<StyleSheet>"));
    EXPECT_EQ(a.Kind, TPvpAnswer::paRedirect);
    EXPECT_EQ(a.Target, "/docs/look.css");

    auto* url = addNode<TURLNode>(show.Root, "U", 30);
    ComposePage(url);
    a = ask(name("/<stylesheet>"));
    EXPECT_EQ(a.Kind, TPvpAnswer::paPage);
    EXPECT_TRUE(content().empty()); // a URL node composes to zero bytes
}

TEST_F(RequestTest, FileRequestsRedirect)
{
    struct Case {
        std::string Path;
        std::string Target;
    } cases[] = {
        {"/docs/pic.png", "/docs/pic.png"},
        {"/docs/sub/../pic.png", "/docs/pic.png"},
        {"/other/a%20b.htm", "/other/a%20b.htm"},
        {"pic.png", "/docs/pic.png"}, // relative to the page
    };
    for (const Case& c : cases) {
        const TPvpAnswer a = ask(name(c.Path));
        EXPECT_EQ(a.Kind, TPvpAnswer::paRedirect) << c.Path;
        EXPECT_EQ(a.Target, c.Target) << c.Path;
    }
}

TEST_F(RequestTest, GonePageAnswersWithoutTouchingIt)
{
    delete show.A;
    ASSERT_EQ(CurrentPageNode(), nullptr);
    // A file request still resolves; the base of the last page stays.
    TPvpAnswer a = ask(name("/docs/pic.png"));
    EXPECT_EQ(a.Target, "/docs/pic.png");
    EXPECT_EQ(CurrentBase(), "/docs/");
    // The stylesheet form has no page to ask.
    a = ask(name("/<stylesheet>"));
    EXPECT_EQ(a.Kind, TPvpAnswer::paPage);
    // An id request has no tree to search: the black page.
    a = ask(name("/id=7"));
    EXPECT_EQ(PageBuffer()->Bytes, kBlackPage);
}

TEST_F(RequestTest, EachRequestGetsItsOwnCopy)
{
    TPVPMoniker first;
    first.ParseDisplayName(name("/"));
    std::unique_ptr<TMyStream> stream = first.OpenContent();
    ComposePage(show.C);
    EXPECT_EQ(stream->Bytes(), composedA);
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_NE(content(), composedA); // the last composition wins
}

TEST_F(RequestTest, MissingBufferGivesTheErrorPage)
{
    StopDocumentProtocol();
    TPVPMoniker moniker;
    moniker.ParseDisplayName(name("/<b>"));
    std::unique_ptr<TMyStream> stream = moniker.OpenContent();
    EXPECT_EQ(moniker.ErrorText, "SourceStream is empty...");
    EXPECT_EQ(stream->Bytes(), "<HTML>An error occured while parsing the URL<BR><B>SourceStream is empty...</B><BR>"
                               "Request URL was @" +
                                   MonikerName() + ":/&lt;b&gt;<BR></HTML>");
    EXPECT_EQ(moniker.Text, stream->Bytes());
    EXPECT_EQ(stream->Position(), 0);
}

TEST(PvpDisplayName, FromHostAndPath)
{
    EXPECT_EQ(TPVPMoniker::DisplayName("pvpmon-x", "/id=5"), "@pvpmon-x:/id=5");
}
