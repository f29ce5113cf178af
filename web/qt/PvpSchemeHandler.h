#pragma once
// The pvp scheme of QtWebEngine: the document URL protocol in a browser.
//
// Requests under the per-run host are turned into display names and
// answered by TPVPMoniker: the page object's bytes as text/html, or a
// redirection to a local file or an address. Other hosts fail. Every
// request runs on the user-interface thread.

#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace pavilo {

// Declares the scheme to QtWebEngine; must run before the application
// object is created. Idempotent.
void RegisterPvpScheme();
// Installs the handler on the profile once; the default profile when none
// is given.
void InstallPvpScheme(QWebEngineProfile* profile = nullptr);

class TPvpSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

} // namespace pavilo
