// Fuzz entry for link scanning. The first byte picks HTML or style sheet,
// the rest is the text. Every link must name the text it was found at: the
// LinkLength bytes at LinkPosition are the Link, so that the package
// installer rewrites exactly the reference and nothing else.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/ScanDoc.h"

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    bool sheet = (data[0] & 1) != 0;
    static pavilo::TDocumentScanner scanner;
    pavilo::TLinkCollection links;
    int result = sheet ? scanner.ScanStyleSheet(text, "/x/a.css", links, 0)
                       : scanner.ScanHTML(text, pavilo::soPageSource, links, 0);
    check(result == 0 || (result >= 1 && result <= 6) || result == pavilo::scUnclosedUrl);
    for (const pavilo::TLinkInfo& l : links) {
        check(l.LinkLength == static_cast<int32_t>(l.Link.size()));
        if (l.Link.empty())
            continue;
        check(l.LinkPosition >= 1);
        size_t at = static_cast<size_t>(l.LinkPosition - 1);
        check(at + l.Link.size() <= text.size());
        check(text.substr(at, l.Link.size()) == l.Link);
    }
    return 0;
}
