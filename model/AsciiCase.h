#pragma once
// Letter case of the ASCII range, for names, tags, schemes and keys that the
// program compares without regard to case. Bytes above 0x7F stay as they are.

#include <string>
#include <string_view>

namespace pavilo {

constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

constexpr bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    return true;
}

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

} // namespace pavilo
