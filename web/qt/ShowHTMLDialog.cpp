#include "web/qt/ShowHTMLDialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "model/PVPObjModel.h"
#include "web/CustomWebBrowser.h"

namespace pavilo {

namespace {

bool hasSource(const TNode* node)
{
    if (!node)
        return false;
    if (node->InheritsFrom(TNodeClass::ncPageNode))
        return !static_cast<const TPageNode*>(node)->Source().Empty();
    if (node->InheritsFrom(TNodeClass::ncElementNode))
        return !static_cast<const TElementNode*>(node)->Source().Empty();
    return false;
}

} // namespace

TCustomShowHTMLDialog::TCustomShowHTMLDialog(TNode* node, const QString& url, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_node(TLinkOwnerKind::lokWindow, this), m_url(url), m_webBrowser(new TCustomWebBrowser(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    resize(648, 507);
    m_node.SetTarget(node ? &node->NodeLink() : nullptr);
    m_webBrowser->setObjectName(QStringLiteral("WebBrowser"));
    connect(m_webBrowser, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (!title.isEmpty())
            setWindowTitle(title);
    });
    // A page script closing its window closes the dialog.
    m_webBrowser->OnCloseBrowser = [this](TCustomWebBrowser*) {
        m_webBrowser = nullptr;
        QMetaObject::invokeMethod(this, [this] { reject(); }, Qt::QueuedConnection);
    };
}

int TCustomShowHTMLDialog::Execute(TNode* node, const QString& url, QWidget* parent)
{
    auto* dialog = new TCustomShowHTMLDialog(node, url, parent);
    return dialog->exec();
}

void TCustomShowHTMLDialog::placeOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    auto* pv = dynamic_cast<TPVNode*>(m_node.GetNode());
    if (pv && (pv->Width() != 0 || pv->Height() != 0)) {
        // The node's size is the page's; the frame comes on top of it.
        const QSize size(pv->Width(), pv->Height());
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        if (m_webBrowser)
            m_webBrowser->setGeometry(QRect(QPoint(0, 0), size));
        return;
    }
    if (pv) {
        pv->SetWidth(area.width());
        pv->SetHeight(area.height());
    }
    setGeometry(area);
    if (m_webBrowser)
        m_webBrowser->setGeometry(QRect(QPoint(0, 0), area.size()));
}

void TCustomShowHTMLDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    setWindowTitle(m_url);
    placeOnScreen();
    if (!m_webBrowser)
        return;
    m_webBrowser->SetExternalNode(m_node.GetNode());
    m_webBrowser->Navigate(m_url);
}

void TCustomShowHTMLDialog::done(int)
{
    if (m_webBrowser) {
        m_webBrowser->ClearExternal();
        m_webBrowser->OnCloseBrowser = nullptr;
    }
    QDialog::done(hasSource(m_node.GetNode()) ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace pavilo
