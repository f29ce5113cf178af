#pragma once
// TPVPMoniker: one request of the browser under the document URL prefix.
//
// The browser's scheme handler turns each request into a display name,
// "@" + MonikerName + ":" + the percent-decoded path, and asks the object to
// parse it. The answer is either the page object itself, whose content is
// the page buffer, or a redirection to a file path or URL that the browser
// loads by itself. Parsing an "id=" request composes that node first.

#include <memory>
#include <string>
#include <string_view>

#include "web/MyStream.h"

namespace pavilo {

struct TPvpAnswer {
    enum TKind { paPage, paRedirect };
    TKind Kind = paPage;
    std::string Target; // the redirection target: a local path or a URL
};

class TPVPMoniker {
public:
    // The display name of a request for that host and percent-decoded path.
    static std::string DisplayName(std::string_view host, std::string_view path);
    // The error page for a content request that failed.
    static std::string ErrorPage(std::string_view errorText, std::string_view requestUrl);

    TPvpAnswer ParseDisplayName(const std::string& displayName);
    // The page's content: a fresh stream holding a copy of the page buffer,
    // or the error page when there is no buffer. Position 0.
    std::unique_ptr<TMyStream> OpenContent();

    std::string Text;
    std::string ErrorText;
    std::string RequestUrl;
};

} // namespace pavilo
