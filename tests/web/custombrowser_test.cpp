#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "model/LinkResolver.h"
#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "web/BrowserTestUtil.h"
#include "web/PvpMon.h"
#include "web/WBExternalInterface.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void writePicture(const QString& path, int width)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, 7, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path, "PNG"));
}

void setSource(TPageNode* page, const std::string& html)
{
    page->Source().SetText(std::string_view(html));
}

// The example show saved in a temporary folder and loaded back, as the
// editor holds it.
class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        docDir = folder.path() + "/doc";
        fileName = docDir + "/Tour.pvp";
    }

    void saveAndLoad(TExampleShow& show)
    {
        QDir().mkpath(docDir);
        ASSERT_TRUE(SaveDocument(fileName.toStdString(), show.File.get()));
        std::unique_ptr<TNode> top = LoadDocument(fileName.toStdString());
        doc.reset(static_cast<TFileNode*>(top.release()));
    }
    TPageNode* page(int32_t id) { return static_cast<TPageNode*>(doc->FindNode(id)); }

    // A browser as a view has it: its TExternal follows the view's link.
    std::unique_ptr<TCustomWebBrowser> makeBrowser()
    {
        auto browser = std::make_unique<TCustomWebBrowser>();
        browser->resize(640, 480);
        browser->show();
        browser->SetExternal(external);
        return browser;
    }
    bool showNode(TCustomWebBrowser* browser, TNode* node)
    {
        viewLink.SetTarget(&node->NodeLink());
        ComposePage(node);
        return navigateAndWait(browser, QString::fromStdString(RootUrl()));
    }

    QTemporaryDir folder;
    QString docDir;
    QString fileName;
    std::unique_ptr<TFileNode> doc;
    TNodeLink viewLink{TLinkOwnerKind::lokWindow};
    std::shared_ptr<TExternal> external = [this] {
        auto e = std::make_shared<TExternal>();
        e->NodeLink().SetTarget(&viewLink);
        return e;
    }();
};

std::string str(const QVariant& v)
{
    return v.toString().toStdString();
}

} // namespace

TEST_F(BrowserTest, ComposedPageReachesItsFiles)
{
    writePicture(docDir + "/pics/pic.png", 37);
    writePicture(folder.path() + "/up.png", 19);
    writeFile(docDir + "/look.css", "#probe { width: 123px; } body { color: rgb(1, 2, 3); }");
    TExampleShow show;
    setSource(show.A, "<html>\n<head><title>First</title></head>\n<body>\n"
                      "<img id=\"pic\" src=\"pics/pic.png\"><img id=\"up\" src=\"../up.png\">\n"
                      "<div id=\"probe\">x</div><a id=\"second\">second</a>\n"
                      "<script>document.getElementById('second').href = window.external.base + 'id=' + 3;"
                      "var paths = docpath + '|' + apppath;</script>\n"
                      "</body>\n</html>\n");
    show.A->SetCSSFileName("look.css");
    setSource(show.A2, "<html>\n<head><title>Second</title></head><body>second page</body>\n</html>\n");
    // No html tag, so no inserted link: the page asks for its style sheet.
    setSource(show.C, "<head><title>Third</title></head><body><div id=\"probe\">y</div><script>"
                      "var link = document.createElement('link'); link.rel = 'stylesheet';"
                      "link.onload = function () { document.title = 'sheet ' + getComputedStyle("
                      "document.getElementById('probe')).width; };"
                      "link.href = window.external.base + '<stylesheet>'; document.head.appendChild(link);"
                      "</script></body>\n");
    show.C->SetCSSFileName("look.css");
    saveAndLoad(show);

    auto browser = makeBrowser();
    ASSERT_TRUE(showNode(browser.get(), page(1)));
    EXPECT_EQ(browser->title(), "First");
    EXPECT_EQ(evaluate(browser.get(), "document.getElementById('pic').naturalWidth").toInt(), 37);
    EXPECT_EQ(evaluate(browser.get(), "document.getElementById('up').naturalWidth").toInt(), 19);
    EXPECT_EQ(str(evaluate(browser.get(), "getComputedStyle(document.getElementById('probe')).width")), "123px");
    EXPECT_EQ(str(evaluate(browser.get(), "getComputedStyle(document.body).color")), "rgb(1, 2, 3)");
    EXPECT_EQ(str(evaluate(browser.get(), "paths")), docDir.toStdString() + "/|" + ProgramDirectory());

    ASSERT_TRUE(evaluateAndWaitForLoad(browser.get(), "document.getElementById('second').click()"));
    EXPECT_EQ(browser->title(), "Second");
    EXPECT_EQ(CurrentPageNode(), page(3));

    QSignalSpy titles(browser.get(), &QWebEngineView::titleChanged);
    ASSERT_TRUE(showNode(browser.get(), page(7)));
    while (browser->title() != "sheet 123px" && titles.wait(kBrowserTimeoutMs)) {
    }
    EXPECT_EQ(browser->title(), "sheet 123px");
}

TEST_F(BrowserTest, PageScriptsSteerTheShow)
{
    TExampleShow show;
    const char* walker = "<html>\n<head><title>%TITLE%</title></head><body><script>\n"
                         "function titles(step) { var e = window.external; var out = [];"
                         "  for (var n = e.currentNode; n; n = e[step]) { out.push(n.title); e.jumpTo(n);"
                         "    if (out.length > 20) break; }"
                         "  return out.join(' '); }\n"
                         "function error(f) { try { f(); return 'no error'; } catch (x) { return x.message; } }\n"
                         "</script></body>\n</html>\n";
    for (TPageNode* p : {show.A, show.A1, show.A2, show.B, show.B1, show.B2, show.C}) {
        std::string html = walker;
        html.replace(html.find("%TITLE%"), 7, p->Title());
        setSource(p, html);
    }
    // Outside the example tree, in a tool tab of its own.
    auto* otherRoot = new TRootNode;
    otherRoot->SetParent(show.File.get());
    TPageNode* locked = addNode(otherRoot, "Locked", 26);
    setSource(locked, "<html>\n<head><title>Locked page</title></head></html>\n");
    saveAndLoad(show);
    page(26)->SetAllowChange(false);

    // The selection follower: a node that gets the selected and focused
    // marks becomes the view's node, as the structure tree makes it.
    std::vector<std::unique_ptr<TNodeLink>> followers;
    doc->ForEachNode([&](TNode* n) {
        auto link = std::make_unique<TNodeLink>(TLinkOwnerKind::lokWindow);
        link->SetTarget(&n->NodeLink());
        link->OnChange = [this](TNodeLink& l) {
            TNode* node = l.GetNode();
            if (node && (node->ViewFlags() & (vfSelected | vfFocused)) == (vfSelected | vfFocused))
                viewLink.SetTarget(&node->NodeLink());
        };
        followers.push_back(std::move(link));
    });

    auto browser = makeBrowser();
    ASSERT_TRUE(showNode(browser.get(), page(1)));
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.currentNode.title")), "A");
    EXPECT_EQ(str(evaluate(browser.get(), "titles('nextNode')")), "A A1 A2 B C");
    EXPECT_EQ(str(evaluate(browser.get(), "titles('prevNode')")), "C B A2 A1 A");
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.jumpTo(5); titles('nextNode')")), "B1 B C");
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.firstNode.title")), "A");
    EXPECT_EQ(evaluate(browser.get(), "window.external.currentNode.loop").toBool(), false);
    EXPECT_EQ(evaluate(browser.get(), "window.external.firstNode.parent.items(1).loop").toBool(), true);

    const QString forms[] = {"26", "'id=1a'", "' ID = 1A'", "'id=0000001a'", "'26'",
                             "window.external.currentNode.parent.parent.items(1).items(0)"};
    for (const QString& form : forms) {
        viewLink.SetTarget(&page(7)->NodeLink());
        page(7)->SetViewFlags(vfSelected | vfFocused);
        page(26)->SetViewFlags(0);
        EXPECT_EQ(str(evaluate(browser.get(), "error(function () { window.external.jumpTo(" + form + "); })")),
                  "no error")
            << form.toStdString();
        EXPECT_EQ(page(7)->ViewFlags() & (vfSelected | vfFocused), 0) << form.toStdString();
        EXPECT_EQ(page(26)->ViewFlags() & (vfSelected | vfFocused), vfSelected | vfFocused) << form.toStdString();
    }
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.currentNode.id")), "26");
    EXPECT_EQ(str(evaluate(browser.get(), "error(function () { window.external.jumpTo(26.5); })")),
              "Invalid variant type conversion");

    // Gated writes: nothing changes, and no error.
    EXPECT_EQ(str(evaluate(browser.get(), "error(function () { window.external.currentNode.title = 'Changed'; })")),
              "no error");
    EXPECT_EQ(page(26)->Title(), "Locked");
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.currentNode.title")), "Locked");

    // href prepares another page; navigating to base shows it, and the
    // current node stays.
    ASSERT_TRUE(evaluateAndWaitForLoad(browser.get(), "window.external.href('id=2'); location.href = window.external.base;"));
    EXPECT_EQ(browser->title(), "A1");
    EXPECT_EQ(str(evaluate(browser.get(), "window.external.currentNode.title")), "Locked");

    // A script that keeps a node the document destroys gets an exception.
    EXPECT_EQ(str(evaluate(browser.get(), "error(function () { window.external.jumpTo(1); window.kept = window.external.firstNode.items(0); })")), "no error");
    EXPECT_EQ(str(evaluate(browser.get(), "window.kept.title")), "A1");
    ASSERT_EQ(page(2)->Title(), "A1");
    followers.clear();
    delete page(2);
    EXPECT_EQ(str(evaluate(browser.get(), "error(function () { return window.kept.title; })")),
              "The node no longer exists");
    EXPECT_EQ(evaluate(browser.get(), "window.external.firstNode.count").toInt(), 1);
}

TEST_F(BrowserTest, ScriptsWithoutExternalSeeNoObject)
{
    TExampleShow show;
    setSource(show.A, "<html>\n<body>plain</body>\n</html>\n");
    saveAndLoad(show);
    auto browser = makeBrowser();
    browser->ClearExternal();
    ASSERT_TRUE(showNode(browser.get(), page(1)));
    EXPECT_EQ(str(evaluate(browser.get(), "String(window.external)")), "null");

    // A browser that is never shown (printing uses one) still serves it.
    TCustomWebBrowser hidden;
    hidden.SetExternal(external);
    viewLink.SetTarget(&page(1)->NodeLink());
    ComposePage(page(1));
    ASSERT_TRUE(navigateAndWait(&hidden, QString::fromStdString(RootUrl())));
    EXPECT_EQ(str(evaluate(&hidden, "window.external.currentNode.title")), "A");
}

TEST_F(BrowserTest, ClosingFromThePage)
{
    TExampleShow show;
    setSource(show.A, "<html>\n<head><title>Closing</title></head><body></body>\n</html>\n");
    saveAndLoad(show);

    int closeRequests = 0;
    external->OnCloseRequest = [&](TExternal&) { ++closeRequests; };
    QPointer<TCustomWebBrowser> browser = makeBrowser().release();
    ASSERT_TRUE(showNode(browser, page(1)));
    evaluate(browser, "window.external.closeBrowser(); true");
    EXPECT_EQ(closeRequests, 1);

    // A page that closes its window: the owner drops its browser, which
    // disposes of itself, and a new one works.
    TCustomWebBrowser* held = browser;
    browser->OnCloseBrowser = [&](TCustomWebBrowser* b) {
        EXPECT_EQ(b, held);
        b->ClearExternal();
        held = nullptr;
    };
    QSignalSpy closed(browser.data(), &TCustomWebBrowser::closeBrowser);
    browser->page()->runJavaScript("window.close()");
    ASSERT_TRUE(closed.wait(kBrowserTimeoutMs));
    EXPECT_EQ(held, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(browser.isNull(), kBrowserTimeoutMs);

    auto fresh = makeBrowser();
    ASSERT_TRUE(showNode(fresh.get(), page(1)));
    EXPECT_EQ(fresh->title(), "Closing");
}

TEST_F(BrowserTest, ScrollBarsChangeFromTheNextDocument)
{
    TExampleShow show;
    const std::string tall = "<html>\n<head><title>Tall</title></head><body style=\"margin:0\">"
                             "<div style=\"height:5000px\">tall</div></body>\n</html>\n";
    setSource(show.A, tall);
    setSource(show.A1, tall);
    saveAndLoad(show);
    const QString barWidth = "window.innerWidth - document.documentElement.clientWidth";

    auto browser = makeBrowser();
    ASSERT_TRUE(showNode(browser.get(), page(1)));
    EXPECT_GT(evaluate(browser.get(), barWidth).toInt(), 0);
    browser->SetScrollBars(false);
    EXPECT_GT(evaluate(browser.get(), barWidth).toInt(), 0); // this document keeps them
    ASSERT_TRUE(showNode(browser.get(), page(2)));
    EXPECT_EQ(evaluate(browser.get(), barWidth).toInt(), 0);
    EXPECT_GT(evaluate(browser.get(), "document.documentElement.scrollHeight").toInt(), 4000);
}

namespace {

// Counts the context menu questions the browser asks its host.
class TCountingBrowser : public TCustomWebBrowser {
public:
    int Questions = 0;
    bool MenuShown = false;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        ++Questions;
        TCustomWebBrowser::contextMenuEvent(event);
        MenuShown = QApplication::activePopupWidget() != nullptr;
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
};

} // namespace

TEST_F(BrowserTest, ContextMenuOnlyWhenAllowed)
{
    TExampleShow show;
    setSource(show.A, "<html>\n<head><title>Menu</title></head><body style=\"height:400px\">right here</body>\n</html>\n");
    saveAndLoad(show);
    TCountingBrowser browser;
    browser.resize(640, 480);
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    viewLink.SetTarget(&page(1)->NodeLink());
    ComposePage(page(1));
    ASSERT_TRUE(navigateAndWait(&browser, QString::fromStdString(RootUrl())));

    for (bool allowed : {false, true}) {
        browser.SetShowContextMenu(allowed);
        const int before = browser.Questions;
        QWidget* target = browser.focusProxy() ? browser.focusProxy() : &browser;
        QTest::mouseClick(target, Qt::RightButton, {}, QPoint(100, 100));
        QTRY_VERIFY_WITH_TIMEOUT(browser.Questions > before, kBrowserTimeoutMs);
        EXPECT_EQ(browser.MenuShown, allowed);
    }
}

TEST_F(BrowserTest, EveryNavigationPassesTheTranslation)
{
    writeFile(docDir + "/a.htm", "<html><head><title>A file</title></head><body><a id=\"l\" href=\"a.htm\">a</a></body></html>");
    writeFile(docDir + "/b.htm", "<html><head><title>B file</title></head><body><a id=\"l\" href=\"a.htm\">again</a></body></html>");
    auto browser = makeBrowser();
    QStringList seen;
    browser->OnTranslateURL = [&](QString& url) {
        seen << url;
        if (url.endsWith("/a.htm"))
            url.replace("/a.htm", "/b.htm");
    };
    ASSERT_TRUE(navigateAndWait(browser.get(), QUrl::fromLocalFile(docDir + "/a.htm").toString()));
    EXPECT_EQ(browser->title(), "B file");
    browser->OnTranslateURL = [&](QString& url) { seen << url; };
    ASSERT_TRUE(evaluateAndWaitForLoad(browser.get(), "document.getElementById('l').click()"));
    EXPECT_EQ(browser->title(), "A file");
    // The redirected request is a navigation of its own.
    const QString a = QUrl::fromLocalFile(docDir + "/a.htm").toString();
    const QString b = QUrl::fromLocalFile(docDir + "/b.htm").toString();
    EXPECT_EQ(seen, QStringList({a, b, a}));
}
