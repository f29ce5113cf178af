#pragma once
// The page of a program browser: it serves window.external through its
// prompt hook, keeps script errors silent, and hands every navigation's URL
// to its host for translation.

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

namespace pavilo {

class TOleControlWithDocHostUIHandler;

class TPvpWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit TPvpWebPage(TOleControlWithDocHostUIHandler* host);

protected:
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    TOleControlWithDocHostUIHandler* m_host;
};

// Passes the URL of every frame navigation through the host's translation.
class TTranslateUrlInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    TTranslateUrlInterceptor(TOleControlWithDocHostUIHandler* host, QObject* parent);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    TOleControlWithDocHostUIHandler* m_host;
};

} // namespace pavilo
