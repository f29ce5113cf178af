// pavilo-doc scan-html FILE: runs the HTML tag scanner over FILE with
// Translate and Normalize on and prints one line per event, in order:
//   block TEXT | tag NAME (then "  attr NAME=VALUE" lines) | text TEXT |
//   comment TEXT | script TEXT | dtd TEXT | error CODE POSITION
// Texts are written with \r, \n, \t and \\ escaped, other control bytes as
// \xHH, and so are bytes from 128 up in a text that is not UTF-8. Positions
// are 1-based in the scan text: the file's lines each followed by CR LF.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Command.h"
#include "platform/text/TextCodec.h"
#include "tools/hpReg.h"

namespace pavilo::doc {

namespace {

std::string escaped(std::string_view s)
{
    // A reference to a Latin-1 character becomes one byte that is not UTF-8
    // on its own; such texts show their high bytes as \xHH.
    const bool utf8 = text::IsValidUtf8(s);
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(c) < 32 || c == 127 || (!utf8 && static_cast<unsigned char>(c) >= 128)) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

void line(const char* kind, std::string_view text)
{
    std::string out = escaped(text);
    std::printf("%s %s\n", kind, out.c_str());
}

int runScanHtml(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw TUsageError();
    std::ifstream in(args[0], std::ios::binary);
    if (!in)
        throw Exception("Cannot open " + args[0]);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Exception("Cannot read " + args[0]);

    TLegHtmlParser parser;
    parser.SetTranslate(true);
    parser.SetNormalize(true);
    parser.OnBlock = [](TLegHtmlParser&, std::string_view t) { line("block", t); };
    parser.OnTag = [](TLegHtmlParser&, std::string_view name, const THtmlAttributes& attributes) {
        line("tag", name);
        for (int i = 0; i < attributes.Count(); ++i)
            line("  attr", attributes[i]);
    };
    parser.OnText = [](TLegHtmlParser&, std::string_view t) { line("text", t); };
    parser.OnComment = [](TLegHtmlParser&, std::string_view t) { line("comment", t); };
    parser.OnScript = [](TLegHtmlParser&, std::string_view t) { line("script", t); };
    parser.OnDTDTag = [](TLegHtmlParser&, std::string_view t) { line("dtd", t); };
    parser.OnError = [](TLegHtmlParser&, int code, size_t pos, bool&) {
        std::printf("error %d %zu\n", code, pos);
    };
    parser.SetContent(std::move(text));
    parser.Parse();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Registered by hand: the macro cannot spell a name with "-".
const bool registered = RegisterCommand({"scan-html", "FILE", runScanHtml});

} // namespace

} // namespace pavilo::doc
