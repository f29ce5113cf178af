#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include "model/PVPObjModel.h"
#include "web/qt/ShowHTMLDialog.h"
#include "web/qt/TextDialog.h"

#include <QPlainTextEdit>

using namespace pavilo;

namespace {

QString writePage(const QTemporaryDir& dir, const QString& name, const QByteArray& html)
{
    const QString path = dir.path() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(html);
    return QUrl::fromLocalFile(path).toString();
}

// Runs the dialog, rejecting it should the page never close it.
int runDialog(TNode* node, const QString& url, QString* caption = nullptr)
{
    auto* dialog = new TCustomShowHTMLDialog(node, url);
    QPointer<TCustomShowHTMLDialog> guard(dialog);
    QTimer::singleShot(60000, dialog, [guard] {
        ADD_FAILURE() << "the wizard page did not close its window";
        if (guard)
            guard->reject();
    });
    QObject::connect(dialog, &QWidget::windowTitleChanged, [caption](const QString& t) {
        if (caption)
            *caption = t;
    });
    return dialog->exec();
}

} // namespace

TEST(ShowHTMLDialog, OkWhenThePageFilledTheSource)
{
    QTemporaryDir dir;
    const QString filling = writePage(dir, "fill.htm",
                                      "<html><head><title>Wizard</title></head><body><script>"
                                      "window.external.source = '<html><body>made ' + window.external.width + '</body></html>';"
                                      "window.close();</script></body></html>");
    TPageNode node;
    node.SetWidth(400);
    node.SetHeight(300);
    QString caption;
    EXPECT_EQ(runDialog(&node, filling, &caption), QDialog::Accepted);
    EXPECT_EQ(node.Source().Text(), "<html><body>made 400</body></html>\r\n");
    EXPECT_EQ(caption, "Wizard");
}

TEST(ShowHTMLDialog, CancelWhenThePageLeftNoHtml)
{
    QTemporaryDir dir;
    const QString closing =
        writePage(dir, "close.htm", "<html><body><script>window.external.title = 'seen'; window.close();</script></body></html>");
    TPageNode node;
    EXPECT_EQ(runDialog(&node, closing), QDialog::Rejected);
    EXPECT_EQ(node.Title(), "seen");
    // A node without a size takes the screen's.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(node.Width(), screen.width());
    EXPECT_EQ(node.Height(), screen.height());
}

TEST(TextDialog, Layout)
{
    TTextDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Text Dialog");
    EXPECT_EQ(dialog.SourceMemo()->toPlainText(), "Type your text here...");
    EXPECT_EQ(dialog.SourceMemo()->objectName(), "SourceMemo");
}
