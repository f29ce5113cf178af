#include <gtest/gtest.h>

#include "model/LinkResolver.h"
#include "web/PvpMon.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override { StartDocumentProtocol(); }
    void TearDown() override { StopDocumentProtocol(); }

    static std::string buffer() { return PageBuffer()->Bytes; }
    static std::string scriptBlock(const std::string& docpath)
    {
        return "\r\n\r\n<script>\r\nvar docpath=\"" + docpath + "\";\r\nvar apppath=\"" + ProgramDirectory() +
               "\";\r\n</script>\r\n";
    }
};

} // namespace

TEST_F(ComposeTest, WorkedExampleHasSevenLines)
{
    TExampleShow show;
    show.A->Source().SetText(std::string_view("<html>\r\n<body>Hello</body>\r\n"));
    ComposePage(show.A);
    EXPECT_EQ(buffer(), "<html><base href=\"/docs/index.htm\">" + scriptBlock("/docs/") + "<body>Hello</body>\r\n");
    EXPECT_EQ(TStringList::Normalize(buffer()), buffer());
    int lines = 0;
    for (char c : buffer())
        lines += c == '\n';
    EXPECT_EQ(lines, 7);
    EXPECT_EQ(PageBuffer()->Position, 0u);
    EXPECT_EQ(CurrentPageNode(), show.A);
    EXPECT_EQ(CurrentBase(), "/docs/");
}

TEST_F(ComposeTest, StyleSheetLinkIsTheSecondLine)
{
    TExampleShow show;
    show.A->Source().SetText(std::string_view("<html>\n<body>x</body>\n"));
    show.A->SetCSSFileName("css/look.css");
    ComposePage(show.A);
    EXPECT_EQ(buffer(), "<html><base href=\"/docs/index.htm\">\r\n"
                        "<LINK href=\"/docs/css/look.css\" rel=\"STYLESHEET\" type=\"text/css\">" +
                            scriptBlock("/docs/") + "<body>x</body>\r\n");
}

TEST_F(ComposeTest, TagIsFoundInAnyCaseAndKeepsItsCase)
{
    TExampleShow show;
    show.A->Source().SetText(std::string_view("<!DOCTYPE x><HTML lang=en><HtMl>\r\n<BODY></BODY></HTML>\r\n"));
    ComposePage(show.A);
    // Only the exact tag counts; "<HTML lang=en>" is not it.
    EXPECT_EQ(buffer(), "<!DOCTYPE x><HTML lang=en><HtMl><base href=\"/docs/index.htm\">" + scriptBlock("/docs/") +
                            "<BODY></BODY></HTML>\r\n");
}

TEST_F(ComposeTest, PageWithoutHtmlTagOnlyGetsItsLineBreaksEvened)
{
    TExampleShow show;
    show.A->Source().SetText(std::string_view("<body>\ra\nb\r\n\r\rc"));
    ComposePage(show.A);
    EXPECT_EQ(buffer(), "<body>\r\na\r\nb\r\n\r\n\r\nc\r\n");
}

TEST_F(ComposeTest, BackslashesAndQuotesInTheDocumentFolderAreEscaped)
{
    TExampleShow show("/srv/two\\\\back\"q/Tour.pvp");
    show.A->Source().SetText(std::string_view("<html>\r\n"));
    ComposePage(show.A);
    EXPECT_NE(buffer().find("var docpath=\"/srv/two\\\\\\\\back\\\"q/\";"), std::string::npos) << buffer();
}

TEST_F(ComposeTest, UnsavedDocumentHasEmptyDocpath)
{
    TExampleShow show("?Untitled.pvp");
    show.A->Source().SetText(std::string_view("<html>\r\n"));
    ComposePage(show.A);
    EXPECT_EQ(buffer(), "<html><base href=\"" + ProgramDirectory() + "index.htm\">" + scriptBlock(""));
}

TEST_F(ComposeTest, BaseHrefEscapesWhatWouldEndThePath)
{
    TExampleShow show("/srv/50% #1?/Tour.pvp");
    show.A->Source().SetText(std::string_view("<html>\r\n"));
    ComposePage(show.A);
    EXPECT_NE(buffer().find("<base href=\"/srv/50%25 %231%3F/index.htm\">"), std::string::npos) << buffer();
}

TEST_F(ComposeTest, BaseAddressStaysAsWritten)
{
    TExampleShow show;
    show.A->Source().SetText(std::string_view("<html>\r\n"));
    show.A->SetBaseUrl("http://server.invalid/a%20b/");
    ComposePage(show.A);
    EXPECT_EQ(CurrentBase(), "http://server.invalid/a%20b/");
    EXPECT_NE(buffer().find("<base href=\"http://server.invalid/a%20b/index.htm\">"), std::string::npos) << buffer();
}

TEST_F(ComposeTest, KindsOfNodes)
{
    TExampleShow show;
    auto* app = addNode<TApplicationNode>(show.Root, "App", 20);
    app->Source().SetText(std::string_view("<html>\r\n"));
    auto* wizard = addNode<TPageWizardNode>(show.Root, "Wizard", 21);
    wizard->Source().SetText(std::string_view("<html>\r\n"));
    auto* url = addNode<TURLNode>(show.Root, "Url", 22);
    url->SetUrl("http://example.invalid/");
    auto* element = addNode<TElementNode>(show.Root, "Element", 23);
    element->Source().SetText(std::string_view("<html>\r\n"));

    struct Case {
        TNode* Node;
        bool Composes;
    } cases[] = {{app, true}, {wizard, true}, {url, false}, {element, false}, {show.Root, false}, {show.File.get(), false}};
    for (const Case& c : cases) {
        PageBuffer()->Bytes = "stale";
        ComposePage(c.Node);
        EXPECT_EQ(!buffer().empty(), c.Composes) << c.Node->ClassName();
        EXPECT_EQ(CurrentPageNode(), c.Node);
    }
}

TEST_F(ComposeTest, NoNodeGivesTheBlackPage)
{
    ComposePage(nullptr);
    EXPECT_EQ(buffer(), "<HTML> <BODY BGCOLOR=\"BLACK\" SCROLL=NO>  </BODY> </HTML>");
    EXPECT_EQ(CurrentPageNode(), nullptr);
    EXPECT_EQ(CurrentBase(), ProgramDirectory());
}

TEST_F(ComposeTest, CurrentPageNodeNeverOutlivesItsNode)
{
    TExampleShow show;
    ComposePage(show.C);
    ASSERT_EQ(CurrentPageNode(), show.C);
    delete show.C;
    EXPECT_EQ(CurrentPageNode(), nullptr);

    // The top of a subtree that leaves the tree lets go at once, though it
    // lives on (in the undo history, say); a node inside it goes with the
    // subtree's destruction.
    ComposePage(show.A);
    show.A->SetParent(nullptr);
    EXPECT_EQ(CurrentPageNode(), nullptr);
    ComposePage(show.A1);
    EXPECT_EQ(CurrentPageNode(), show.A1);
    delete show.A;
    EXPECT_EQ(CurrentPageNode(), nullptr);

    // A move keeps it.
    ComposePage(show.B1);
    show.B1->SetParent(show.Root);
    EXPECT_EQ(CurrentPageNode(), show.B1);
}

TEST_F(ComposeTest, ComposingWithoutStartUpStartsTheState)
{
    StopDocumentProtocol();
    EXPECT_EQ(PageBuffer(), nullptr);
    ComposePage(nullptr);
    ASSERT_NE(PageBuffer(), nullptr);
    EXPECT_FALSE(buffer().empty());
}

TEST(MonikerName, FreshGuidForm)
{
    const std::string a = NewMonikerName();
    const std::string b = NewMonikerName();
    EXPECT_NE(a, b);
    ASSERT_EQ(a.size(), 7u + 36u);
    EXPECT_EQ(a.substr(0, 7), "pvpmon-");
    for (size_t i = 7; i < a.size(); ++i) {
        const size_t k = i - 7;
        if (k == 8 || k == 13 || k == 18 || k == 23)
            EXPECT_EQ(a[i], '-');
        else
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(a[i])) && !std::isupper(static_cast<unsigned char>(a[i])))
                << a;
    }
    EXPECT_EQ(RootUrl(), "pvp://" + MonikerName() + "/");
    EXPECT_EQ(MonikerName(), MonikerName());
}
