#include "web/qt/PvpSchemeHandler.h"

#include <QBuffer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include "platform/text/TextCodec.h"
#include "web/PvpMon.h"

namespace pavilo {

namespace {

QUrl redirectionUrl(const std::string& target)
{
    const QString text = QString::fromStdString(target);
    if (text.startsWith('/'))
        return QUrl::fromLocalFile(text);
    // Drive and network paths of documents written elsewhere cannot exist
    // here; only addresses with a scheme of their own are followed.
    const QUrl url(text);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return {};
}

} // namespace

void RegisterPvpScheme()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(kPvpScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Its pages load the pictures, style sheets and pages beside the
    // document, which are local files.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void InstallPvpScheme(QWebEngineProfile* profile)
{
    if (!profile)
        profile = QWebEngineProfile::defaultProfile();
    if (profile->urlSchemeHandler(kPvpScheme))
        return;
    profile->installUrlSchemeHandler(kPvpScheme, new TPvpSchemeHandler(profile));
}

void TPvpSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const std::string host = url.host().toStdString();
    if (host != MonikerName()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    TPVPMoniker moniker;
    const TPvpAnswer answer =
        moniker.ParseDisplayName(TPVPMoniker::DisplayName(host, url.path(QUrl::FullyDecoded).toStdString()));
    if (answer.Kind == TPvpAnswer::paRedirect) {
        const QUrl target = redirectionUrl(answer.Target);
        if (target.isEmpty())
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        else
            job->redirect(target);
        return;
    }
    const std::unique_ptr<TMyStream> stream = moniker.OpenContent();
    const std::string& bytes = stream->Bytes();
    auto* device = new QBuffer(job);
    device->setData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    device->open(QIODevice::ReadOnly);
    // The program writes UTF-8; other pages keep their own declaration,
    // else the browser's default encoding (Windows-1252) applies.
    job->reply(text::IsValidUtf8(bytes) ? QByteArrayLiteral("text/html;charset=utf-8") : QByteArrayLiteral("text/html"),
               device);
}

} // namespace pavilo
