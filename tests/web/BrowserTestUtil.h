#pragma once
// Waiting on a real browser without sleeping: every wait is on a signal or a
// script's answer, with a generous timeout.

#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include "web/CustomWebBrowser.h"

namespace pavilo::test {

constexpr int kBrowserTimeoutMs = 60000;

// Navigates and waits for the document to finish loading.
inline bool navigateAndWait(TCustomWebBrowser* browser, const QString& url)
{
    QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
    browser->Navigate(url);
    if (!loaded.wait(kBrowserTimeoutMs))
        return false;
    return loaded.first().first().toBool();
}

// Runs a script in the page and waits for its value.
inline QVariant evaluate(QWebEngineView* view, const QString& script)
{
    QVariant result;
    bool done = false;
    QEventLoop loop;
    view->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kBrowserTimeoutMs, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    return result;
}

// Runs a script that starts a navigation and waits for the new document.
inline bool evaluateAndWaitForLoad(QWebEngineView* view, const QString& script)
{
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->page()->runJavaScript(script);
    if (!loaded.wait(kBrowserTimeoutMs))
        return false;
    return loaded.first().first().toBool();
}

} // namespace pavilo::test
