#include "tools/HtmlEntities.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pavilo {

namespace {

// Codes 160..255 in order.
constexpr std::array<const char*, 96> latin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

constexpr std::array<const char*, 256> makeEntityTable()
{
    std::array<const char*, 256> table{};
    for (auto& slot : table)
        slot = "";
    table[34] = "quot";
    table[38] = "amp";
    table[60] = "lt";
    table[62] = "gt";
    for (size_t i = 0; i < latin1Names.size(); ++i)
        table[160 + i] = latin1Names[i];
    return table;
}

// Filled at compile time, shared and read-only.
constexpr std::array<const char*, 256> entityTable = makeEntityTable();

struct TEntityEntry {
    std::string_view Name;
    int Code;
};

// The non-empty slots sorted by name, for the lookup of "&name;".
const std::array<TEntityEntry, 100>& sortedEntities()
{
    static const std::array<TEntityEntry, 100> sorted = [] {
        std::array<TEntityEntry, 100> entries{};
        size_t k = 0;
        for (int code = 0; code < 256; ++code)
            if (*entityTable[code])
                entries[k++] = {entityTable[code], code};
        std::sort(entries.begin(), entries.end(),
                  [](const TEntityEntry& a, const TEntityEntry& b) { return a.Name < b.Name; });
        return entries;
    }();
    return sorted;
}

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int digitValue(char c, int base)
{
    int v;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    else
        return -1;
    return v < base ? v : -1;
}

// A numeric reference converts when its digits are all of the base, there
// are 1 to 255 of them and the value fits a 32-bit integer.
bool convertNumber(std::string_view digits, int base, uint32_t& value)
{
    if (digits.empty() || digits.size() > 255)
        return false;
    uint64_t v = 0;
    for (char c : digits) {
        int d = digitValue(c, base);
        if (d < 0)
            return false;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0x7FFFFFFFu)
            return false;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

// The character a reference body stands for, or -1 when it stays as written.
int referenceCode(std::string_view body)
{
    if (!body.empty() && body[0] == '#') {
        uint32_t value = 0;
        bool ok = body.size() >= 2 && (body[1] == 'x' || body[1] == 'X')
                      ? convertNumber(body.substr(2), 16, value)
                      : convertNumber(body.substr(1), 10, value);
        return ok ? static_cast<int>(value & 0xFFu) : -1;
    }
    return body.empty() ? -1 : EntityCode(body);
}

} // namespace

std::string_view EntityName(int code)
{
    if (code < 0 || code > 255)
        return {};
    return entityTable[static_cast<size_t>(code)];
}

int EntityCode(std::string_view name)
{
    const auto& sorted = sortedEntities();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                               [](const TEntityEntry& e, std::string_view n) { return e.Name < n; });
    return it != sorted.end() && it->Name == name ? it->Code : -1;
}

void AppendTranslatedEntities(std::string_view s, std::string& out)
{
    constexpr auto npos = std::string_view::npos;
    size_t amp = s.find('&');
    if (amp == npos) {
        out.append(s);
        return;
    }
    out.append(s.substr(0, amp));
    // The next ";" is remembered while it lies ahead, so that a run of "&"
    // without ";" stays linear.
    size_t semi = s.find(';', amp + 1);
    while (true) {
        if (semi != npos && semi < amp)
            semi = s.find(';', amp + 1);
        if (semi == npos) {
            out.append(s.substr(amp));
            return;
        }
        size_t nextAmp = s.find('&', amp + 1);
        if (nextAmp < semi) {
            out.append(s.substr(amp, nextAmp - amp));
            amp = nextAmp;
            continue;
        }
        std::string_view body = s.substr(amp + 1, semi - amp - 1);
        int code = referenceCode(body);
        if (code >= 0)
            out.push_back(static_cast<char>(code));
        else
            out.append(s.substr(amp, semi - amp + 1));
        if (nextAmp == npos) {
            out.append(s.substr(semi + 1));
            return;
        }
        out.append(s.substr(semi + 1, nextAmp - semi - 1));
        amp = nextAmp;
    }
}

std::string TranslateEntities(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    AppendTranslatedEntities(s, out);
    return out;
}

bool IsNormalizedWhiteSpace(std::string_view s)
{
    if (s.empty())
        return true;
    if (isWhiteSpace(s[0]))
        return false;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == ' ' && isWhiteSpace(s[i + 1]))
            return false;
    return true;
}

void AppendNormalizedWhiteSpace(std::string_view s, std::string& out)
{
    size_t i = 0;
    while (i < s.size() && isWhiteSpace(s[i]))
        ++i;
    bool afterSpace = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (afterSpace && isWhiteSpace(c))
            continue;
        out.push_back(c);
        afterSpace = c == ' ';
    }
}

std::string NormalizeWhiteSpace(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    AppendNormalizedWhiteSpace(s, out);
    return out;
}

} // namespace pavilo
