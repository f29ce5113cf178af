// Throughput of the HTML tag scanner on generated pages of 1, 10 and 50 MB,
// with every event handled, next to the tokenizer of gumbo on the same text.
//
// Usage: html_scan [MB ...]   (default 1 10 50)

#include <gumbo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "tools/hpReg.h"

using namespace pavilo;

namespace {

// A page with the usual mix: tags with attributes, text with references,
// comments, scripts and style blocks with url() references, CR LF lines.
std::string generatePage(size_t bytes)
{
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    std::string s;
    s.reserve(bytes + 4096);
    s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html><head><title>Tour</title>\r\n";
    static const char* words[] = {"the", "show", "page", "node", "toolbox", "presentation", "notes", "and",
                                  "of", "a", "picture", "caf&eacute;", "&amp;", "tool", "tab", "with"};
    while (s.size() < bytes) {
        unsigned n = next(1000);
        switch (next(8)) {
        case 0:
            s += "<style type=\"text/css\">\r\nbody { background: url(img/bg" + std::to_string(n) +
                 ".gif) }\r\n.c" + std::to_string(n) + " { background: url('img/p" + std::to_string(n) +
                 ".png'); color: #336699 }\r\n</style>\r\n";
            break;
        case 1:
            s += "<script language=\"JavaScript\">\r\nfunction f" + std::to_string(n) +
                 "(a, b) { if (a < b && b > 0) return window.external.nextNode(); return null; }\r\n</script>\r\n";
            break;
        case 2:
            s += "<!-- section " + std::to_string(n) + " of the show, edited by the author -->\r\n";
            break;
        case 3:
            s += "<img src=\"pictures/pic" + std::to_string(n) + ".gif\" alt='Picture " + std::to_string(n) +
                 "' width=120 height=80 border=0>\r\n";
            break;
        case 4:
            s += "<a href=\"page" + std::to_string(n) + ".htm\" target=_top>Next page</a>\r\n";
            break;
        default: {
            s += "<p class=\"c" + std::to_string(n % 10) + "\" id=n" + std::to_string(n) + ">";
            unsigned count = 8 + next(30);
            for (unsigned i = 0; i < count; ++i) {
                s += words[next(16)];
                s += i + 1 < count ? " " : "";
            }
            s += "</p>\r\n";
        }
        }
    }
    s += "</body></html>\r\n";
    return s;
}

struct TCounts {
    size_t Blocks = 0, BlockBytes = 0, Tags = 0, Attributes = 0, Texts = 0, Comments = 0, Scripts = 0,
           Declarations = 0, Errors = 0;
};

void attach(TLegHtmlParser& p, TCounts& c)
{
    p.OnBlock = [&c](TLegHtmlParser&, std::string_view t) {
        ++c.Blocks;
        c.BlockBytes += t.size();
    };
    p.OnTag = [&c](TLegHtmlParser&, std::string_view name, const THtmlAttributes& a) {
        ++c.Tags;
        for (int i = 0; i < a.Count(); ++i)
            c.Attributes += a.ValueFromIndex(i).size() > 0 ? 1 : 1;
    };
    p.OnText = [&c](TLegHtmlParser&, std::string_view) { ++c.Texts; };
    p.OnComment = [&c](TLegHtmlParser&, std::string_view) { ++c.Comments; };
    p.OnScript = [&c](TLegHtmlParser&, std::string_view) { ++c.Scripts; };
    p.OnDTDTag = [&c](TLegHtmlParser&, std::string_view) { ++c.Declarations; };
    p.OnError = [&c](TLegHtmlParser&, int, size_t, bool&) { ++c.Errors; };
}

double cpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The best of some runs, in CPU seconds of this thread: the machine is
// shared, and wall time would measure the neighbours.
double seconds(const std::function<void()>& work, int repeats)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        double t0 = cpuNow();
        work();
        best = std::min(best, cpuNow() - t0);
    }
    return best;
}

// gumbo's tokenizer on its own, through the entry points its library
// exports; the layouts below are those of the library's own sources.
struct TGumboParser {
    const GumboOptions* Options;
    GumboOutput* Output;
    void* TokenizerState;
    void* ParserState;
};
struct TGumboToken {
    int Type; // 1 = start tag
    GumboSourcePosition Position;
    GumboStringPiece OriginalText;
    union {
        struct {
            GumboTag Tag;
            GumboVector Attributes;
            bool SelfClosing;
        } StartTag;
        int Character; // -1 for the end of the text
        char Space[128];
    } V;
};
extern "C" {
void gumbo_tokenizer_state_init(void* parser, const char* text, size_t length);
void gumbo_tokenizer_state_destroy(void* parser);
void gumbo_tokenizer_set_state(void* parser, int state);
bool gumbo_lex(void* parser, TGumboToken* token);
void gumbo_token_destroy(void* parser, TGumboToken* token);
}
constexpr int gumboStartTag = 1;
// The end-of-text token: its type number differs between gumbo versions.
bool isGumboEof(const TGumboToken& t)
{
    return t.Type >= 6 && t.V.Character == -1;
}
constexpr int gumboLexRawText = 4;
constexpr int gumboLexScript = 5;

struct TGumboCounts {
    size_t Tokens = 0, StartTags = 0;
};

TGumboCounts gumboTokenize(const std::string& text)
{
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // no error records: the output has no tree to hold them
    GumboOutput output{};
    TGumboParser parser{&options, &output, nullptr, nullptr};
    gumbo_tokenizer_state_init(&parser, text.data(), text.size());
    TGumboCounts c;
    TGumboToken token{};
    while (true) {
        gumbo_lex(&parser, &token);
        ++c.Tokens;
        if (isGumboEof(token))
            break;
        if (token.Type == gumboStartTag) {
            ++c.StartTags;
            // What the tree builder would do: script and style bodies are raw text.
            if (token.V.StartTag.Tag == GUMBO_TAG_SCRIPT)
                gumbo_tokenizer_set_state(&parser, gumboLexScript);
            else if (token.V.StartTag.Tag == GUMBO_TAG_STYLE)
                gumbo_tokenizer_set_state(&parser, gumboLexRawText);
        }
        gumbo_token_destroy(&parser, &token);
    }
    gumbo_tokenizer_state_destroy(&parser);
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<size_t>(std::atof(argv[i]) * 1024 * 1024));
    if (sizes.empty())
        sizes = {1u << 20, 10u << 20, 50u << 20};

    std::printf("%8s %10s %12s %12s %12s %12s %8s\n", "MB", "events", "scan MB/s", "plain MB/s",
                "gumbo tok", "gumbo parse", "ratio");
    double firstRate = 0;
    for (size_t bytes : sizes) {
        std::string page = generatePage(bytes);
        double mb = page.size() / (1024.0 * 1024.0);
        int repeats = page.size() > (20u << 20) ? 3 : 5;

        TLegHtmlParser parser;
        TCounts counts;
        attach(parser, counts);
        parser.SetContent(page);
        parser.Parse(); // fills the cached scan text
        double scan = seconds([&] { parser.Parse(); }, repeats);
        size_t events = counts.Blocks / static_cast<size_t>(repeats + 1);

        // As the link scanner runs it: no translation, no normalisation.
        TLegHtmlParser plain;
        TCounts plainCounts;
        attach(plain, plainCounts);
        plain.SetTranslate(false);
        plain.SetNormalize(false);
        plain.SetContent(page);
        plain.Parse();
        double plainTime = seconds([&] { plain.Parse(); }, repeats);

        TGumboCounts g;
        double tok = seconds([&] { g = gumboTokenize(page); }, repeats);
        double full = 0;
        if (page.size() <= (16u << 20))
            full = seconds(
                [&] {
                    GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
                    gumbo_destroy_output(&kGumboDefaultOptions, out);
                },
                1);

        double rate = mb / scan;
        if (firstRate == 0)
            firstRate = rate;
        std::printf("%8.1f %10zu %12.1f %12.1f %12.1f %12s %8.2f\n", mb, events, rate, mb / plainTime, mb / tok,
                    full > 0 ? std::to_string(mb / full).substr(0, 6).c_str() : "-", rate / (mb / tok));
        std::printf("         tags %zu, errors %zu; gumbo tokens %zu, start tags %zu; scaling %.2f of the first size\n",
                    counts.Tags / static_cast<size_t>(repeats + 1), counts.Errors / static_cast<size_t>(repeats + 1),
                    g.Tokens, g.StartTags, rate / firstRate);
    }
    std::printf("MB/s per CPU second of this thread, best of 3 to 5 runs\n");
    std::printf("scan: Translate and Normalize on; plain: both off; gumbo tok: gumbo_lex alone; "
                "gumbo parse: gumbo_parse with its tree; ratio = scan / gumbo tok\n");
    return 0;
}
