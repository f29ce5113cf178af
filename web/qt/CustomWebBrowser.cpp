#include "web/CustomWebBrowser.h"

#include <QContextMenuEvent>

#include "web/External.h"
#include "web/qt/PvpWebPage.h"

namespace pavilo {

TOleControlWithDocHostUIHandler::TOleControlWithDocHostUIHandler(QWidget* parent)
    : QWebEngineView(parent), m_page(new TPvpWebPage(this))
{
    setPage(m_page);
}

void TOleControlWithDocHostUIHandler::SetExternal(std::shared_ptr<TExternal> external)
{
    if (external)
        m_external.SetExternal(std::move(external));
    else
        m_external.ClearExternal();
}

void TOleControlWithDocHostUIHandler::SetExternalNode(TNode* node)
{
    m_external.SetExternalNode(node);
}

void TOleControlWithDocHostUIHandler::ClearExternal()
{
    m_external.ClearExternal();
}

QUrl TOleControlWithDocHostUIHandler::TranslateUrl(const QUrl& url)
{
    if (!OnTranslateURL)
        return url;
    QString text = url.toString();
    const QString before = text;
    OnTranslateURL(text);
    return text == before ? url : QUrl(text);
}

void TOleControlWithDocHostUIHandler::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_showContextMenu) {
        event->accept();
        return;
    }
    QWebEngineView::contextMenuEvent(event);
}

TCustomWebBrowser::TCustomWebBrowser(QWidget* parent) : TOleControlWithDocHostUIHandler(parent) {}

void TCustomWebBrowser::Navigate(const QString& url)
{
    setUrl(QUrl(url));
}

void TCustomWebBrowser::Discard(TCustomWebBrowser* browser)
{
    if (!browser)
        return;
    browser->Navigate(QStringLiteral("about:blank"));
    browser->ClearExternal();
    browser->OnCloseBrowser = nullptr;
    browser->hide();
    browser->deleteLater();
}

void TCustomWebBrowser::windowClosedByScript()
{
    if (m_closing)
        return;
    m_closing = true;
    if (OnCloseBrowser)
        OnCloseBrowser(this);
    Q_EMIT closeBrowser(this);
    deleteLater();
}

} // namespace pavilo
