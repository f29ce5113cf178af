#include "web/qt/PvpWebPage.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <cstdio>

#include "web/CustomWebBrowser.h"
#include "web/qt/PvpSchemeHandler.h"
#include "web/qt/ScriptBridge.h"

namespace pavilo {

TPvpWebPage::TPvpWebPage(TOleControlWithDocHostUIHandler* host) : QWebEnginePage(host), m_host(host)
{
    InstallPvpScheme(profile());
    QWebEngineScript bridge;
    bridge.setName(QStringLiteral("pavilo-window-external"));
    bridge.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bridge.setWorldId(QWebEngineScript::MainWorld);
    bridge.setRunsOnSubFrames(true);
    bridge.setSourceCode(ScriptBridgeSource());
    scripts().insert(bridge);
    settings()->setDefaultTextEncoding(QStringLiteral("windows-1252"));
    setUrlRequestInterceptor(new TTranslateUrlInterceptor(host, this));
    connect(this, &QWebEnginePage::windowCloseRequested, this, [this] {
        if (auto* browser = qobject_cast<TCustomWebBrowser*>(m_host))
            browser->windowClosedByScript();
    });
}

bool TPvpWebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                                   QString* result)
{
    if (msg != ScriptBridgeMarker())
        return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
    *result = AnswerScriptBridgeCall(m_host->External(), defaultValue);
    return true;
}

void TPvpWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                           int lineNumber, const QString& sourceID)
{
    auto* browser = qobject_cast<TCustomWebBrowser*>(m_host);
    if (browser && browser->Silent())
        return;
    if (level == ErrorMessageLevel)
        std::fprintf(stderr, "%s:%d: %s\n", qPrintable(sourceID), lineNumber, qPrintable(message));
}

bool TPvpWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    // A new document asks the host for its information now.
    if (isMainFrame)
        settings()->setAttribute(QWebEngineSettings::ShowScrollBars, m_host->ScrollBars());
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

TTranslateUrlInterceptor::TTranslateUrlInterceptor(TOleControlWithDocHostUIHandler* host, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), m_host(host)
{
}

void TTranslateUrlInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const auto type = info.resourceType();
    if (type != QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
        type != QWebEngineUrlRequestInfo::ResourceTypeSubFrame)
        return;
    const QUrl url = info.requestUrl();
    const QUrl translated = m_host->TranslateUrl(url);
    if (translated != url)
        info.redirect(translated);
}

} // namespace pavilo
