#pragma once
// TCustomWebBrowser: the browser control of every program browser view, on
// QtWebEngine. Qt code: part of the pavilo_web_qt target, not of the core.
//
// The host decides what the page gets: scroll bars (from the next document
// on), the browser's own context menu, the object page scripts see as
// window.external, and the rewriting of every navigation's URL. Script
// errors are never shown. When a page script closes its window the control
// calls OnCloseBrowser and then disposes of itself (deleteLater); owners
// forget it there and create a new one on next use. Handlers run inside the
// browser's own calls: never delete the control in them.

#include <functional>
#include <memory>

#include <QString>
#include <QWebEngineView>

#include "web/ScriptHost.h"

namespace pavilo {

class TExternal;
class TNode;
class TPvpWebPage;

// Handler of a URL about to be loaded; it may change the URL.
using TOnTranslateURL = std::function<void(QString& url)>;

// The host side of the browser: the answers it gives the browser about the
// host's user interface.
class TOleControlWithDocHostUIHandler : public QWebEngineView {
    Q_OBJECT
public:
    explicit TOleControlWithDocHostUIHandler(QWidget* parent = nullptr);

    // window.external of the pages: a TExternal (shared with the view that
    // owns it), a node, or none; read on every script call.
    void SetExternal(std::shared_ptr<TExternal> external);
    void SetExternalNode(TNode* node);
    void ClearExternal();
    TScriptHost& External() { return m_external; }

    bool ScrollBars() const { return m_scrollBars; }
    // Takes effect with the next document loaded.
    void SetScrollBars(bool flag) { m_scrollBars = flag; }
    // Whether the browser's own context menu may appear (_ShowContextMenu).
    bool ShowContextMenu() const { return m_showContextMenu; }
    void SetShowContextMenu(bool flag) { m_showContextMenu = flag; }

    TOnTranslateURL OnTranslateURL;

    // The URL a navigation loads: OnTranslateURL's answer, or the URL.
    QUrl TranslateUrl(const QUrl& url);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TScriptHost m_external;
    TPvpWebPage* m_page;
    bool m_scrollBars = true;
    bool m_showContextMenu = true;
};

class TCustomWebBrowser : public TOleControlWithDocHostUIHandler {
    Q_OBJECT
public:
    explicit TCustomWebBrowser(QWidget* parent = nullptr);

    void Navigate(const QString& url);
    // What an owner does when it lets go of its browser: a blank page, no
    // script object, no close handler; the control is freed later.
    static void Discard(TCustomWebBrowser* browser);
    // Script errors stay silent when true (every view sets it).
    bool Silent() const { return m_silent; }
    void SetSilent(bool flag) { m_silent = flag; }

    // A page script closed the window; the control is disposed of next.
    std::function<void(TCustomWebBrowser*)> OnCloseBrowser;

Q_SIGNALS:
    void closeBrowser(pavilo::TCustomWebBrowser* browser);

private:
    friend class TPvpWebPage;
    void windowClosedByScript();
    bool m_silent = true;
    bool m_closing = false;
};

} // namespace pavilo
