// The node clipboard on the real desktop clipboard, under a real X server:
// one process copies, a second program instance pastes.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTimer>

#include "model/PVPObjModel.h"
#include "model/stream/ClipStrm.h"
#include "platform/qt/QtClipboard.h"

using namespace pavilo;

namespace {

std::unique_ptr<TPageNode> pageWithTwoChildren()
{
    auto page = std::make_unique<TPageNode>();
    page->SetID(7);
    page->SetTitle("Parent");
    for (const char* title : {"First", "Second"}) {
        auto* child = new TPageNode;
        child->SetTitle(title);
        child->SetID(8);
        child->SetParent(page.get());
    }
    return page;
}

// The second instance: pastes and prints the titles it got.
int pasteAndPrint()
{
    TQtClipboard clipboard;
    if (!ClipboardHasNode(clipboard))
        return 3;
    std::unique_ptr<TNode> node = PasteNodeFromClipboard(clipboard);
    std::string line = static_cast<TPVNode*>(node.get())->Title();
    for (TNode* child : node->Children())
        line += "," + static_cast<TPVNode*>(child)->Title();
    std::printf("%s\n", line.c_str());
    return 0;
}

} // namespace

TEST(QtClipboard, BlockRoundTripsUnderTheNodeFormat)
{
    TQtClipboard clipboard;
    uint16_t format = clipboard.RegisterFormat(kNodeClipboardFormatName);
    EXPECT_EQ(format, clipboard.RegisterFormat(kNodeClipboardFormatName));
    ASSERT_TRUE(clipboard.SetBlock(format, std::string("\x06\x05TNode\x00", 8)));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat("Pavilo Node Object"));
    EXPECT_EQ(clipboard.GetBlock(format), std::string("\x06\x05TNode\x00", 8));
}

TEST(QtClipboard, CopyReplacesOtherContentAndAnotherInstancePastes)
{
    QGuiApplication::clipboard()->setText("something else");
    TQtClipboard clipboard;
    auto page = pageWithTwoChildren();
    CopyNodeToClipboard(clipboard, page.get());
    EXPECT_TRUE(ClipboardHasNode(clipboard));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasText());

    // The owner must keep serving the selection while the other instance reads.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {"--paste"});
    QEventLoop loop;
    QObject::connect(&other, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(other.state(), QProcess::NotRunning);
    EXPECT_EQ(other.exitCode(), 0);
    EXPECT_EQ(other.readAllStandardOutput().trimmed().toStdString(), "Parent,First,Second");
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--paste")
        return pasteAndPrint();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
