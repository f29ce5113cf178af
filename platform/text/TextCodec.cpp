#include "platform/text/TextCodec.h"

#include <cstdint>

namespace pavilo::text {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to themselves
// as C1 controls, as the platform's converter does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t cp1252(uint8_t b)
{
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void appendUtf16(std::u16string& out, uint32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one UTF-8 sequence at i; returns false on malformed input.
bool decodeOne(std::string_view s, size_t& i, uint32_t& cp)
{
    uint8_t b = static_cast<uint8_t>(s[i]);
    int extra;
    uint32_t min;
    if (b < 0x80) {
        cp = b;
        ++i;
        return true;
    } else if ((b & 0xE0) == 0xC0) {
        cp = b & 0x1F, extra = 1, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        cp = b & 0x0F, extra = 2, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        cp = b & 0x07, extra = 3, min = 0x10000;
    } else {
        return false;
    }
    if (i + static_cast<size_t>(extra) >= s.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        uint8_t c = static_cast<uint8_t>(s[i + static_cast<size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    uint32_t cp;
    while (i < bytes.size())
        if (!decodeOne(bytes, i, cp))
            return false;
    return true;
}

std::string ToUtf8(std::string_view stored)
{
    if (IsValidUtf8(stored))
        return std::string(stored);
    std::string out;
    out.reserve(stored.size() * 2);
    for (char c : stored)
        appendUtf8(out, cp1252(static_cast<uint8_t>(c)));
    return out;
}

std::u16string ToUtf16(std::string_view stored)
{
    std::u16string out;
    out.reserve(stored.size());
    if (IsValidUtf8(stored)) {
        size_t i = 0;
        uint32_t cp;
        while (i < stored.size() && decodeOne(stored, i, cp))
            appendUtf16(out, cp);
    } else {
        for (char c : stored)
            out.push_back(cp1252(static_cast<uint8_t>(c)));
    }
    return out;
}

std::string FromUtf16(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace pavilo::text
