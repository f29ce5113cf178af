// Fuzz entry for the HTML tag scanner. The first byte picks the flags, the
// rest is the page text. Every event is checked against what clients of the
// scanner rely on: raw blocks are consecutive pieces of the text in source
// order, error positions lie inside the text or just after it, prepared
// tokens never grow.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/hpReg.h"

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// A view that lies inside text, at or after from.
bool inside(std::string_view text, std::string_view piece, const char* from)
{
    return piece.data() >= from && piece.data() + piece.size() <= text.data() + text.size();
}

void scanOnce(std::string_view text, uint8_t flags)
{
    using namespace pavilo;
    TLegHtmlParser parser;
    parser.SetTranslate(flags & 1);
    parser.SetNormalize(flags & 2);
    const bool viaContent = flags & 4;
    const bool abortOnError = flags & 8;

    // Through Content the scan text is the stored form of the lines.
    std::string stored = viaContent ? TStringList::Normalize(text) : std::string();
    std::string_view scanned = viaContent ? std::string_view(stored) : text;
    size_t rest = 0;      // where the next block is searched, as a client locates it
    size_t lastBlock = 0; // where the last block was found
    const char* blockBegin = nullptr;
    const char* blockEnd = nullptr; // the last raw block, for the raw scan
    bool stopped = false;

    parser.OnBlock = [&](TLegHtmlParser&, std::string_view block) {
        check(!stopped);
        size_t at = scanned.find(block, rest);
        check(at != std::string_view::npos);
        lastBlock = at;
        rest = at + block.size();
        if (!viaContent) {
            check(inside(text, block, blockEnd ? blockEnd : text.data()));
            blockBegin = block.data();
            blockEnd = block.data() + block.size();
        }
    };
    // A body lies inside the block reported just before it.
    auto body = [&](std::string_view piece) {
        check(!stopped);
        check(scanned.substr(lastBlock, rest - lastBlock).find(piece) != std::string_view::npos);
        if (!viaContent)
            check(piece.data() >= blockBegin && piece.data() + piece.size() <= blockEnd);
    };
    parser.OnComment = [&](TLegHtmlParser&, std::string_view t) { body(t); };
    parser.OnScript = [&](TLegHtmlParser&, std::string_view t) { body(t); };
    parser.OnTag = [&](TLegHtmlParser&, std::string_view name, const THtmlAttributes& a) {
        check(!stopped);
        check(name.size() <= scanned.size());
        for (int i = 0; i < a.Count(); ++i)
            check(a.Names(i).size() + 1 + a.ValueFromIndex(i).size() == a[i].size());
    };
    parser.OnText = [&](TLegHtmlParser&, std::string_view t) {
        check(!stopped && !t.empty() && t.size() <= scanned.size());
    };
    parser.OnDTDTag = [&](TLegHtmlParser&, std::string_view t) { check(!stopped && t.size() <= scanned.size()); };
    parser.OnError = [&](TLegHtmlParser&, int code, size_t pos, bool& abort) {
        check(!stopped);
        check(code >= 1 && code <= 6);
        check(pos >= 1 && pos <= scanned.size() + 1);
        abort = abortOnError;
        stopped = abortOnError;
    };
    if (viaContent) {
        parser.SetContent(std::string(text));
        parser.Parse();
        check(parser.Content().Text() == stored);
    } else {
        parser.Parse(text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    scanOnce(text, data[0]);

    std::string translated = pavilo::TranslateEntities(text);
    check(translated.size() <= text.size());
    std::string normalized = pavilo::NormalizeWhiteSpace(text);
    check(normalized.size() <= text.size());
    check(pavilo::IsNormalizedWhiteSpace(normalized));
    check(pavilo::IsNormalizedWhiteSpace(text) == (normalized == text));
    return 0;
}
