#include "tools/HtmlAttributes.h"

namespace pavilo {

namespace {
char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}
} // namespace

int THtmlAttributes::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
        if (equalsIgnoringCase(Names(i), name))
            return i;
    return -1;
}

std::vector<std::string> THtmlAttributes::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(m_lines.size());
    for (int i = 0; i < Count(); ++i)
        lines.emplace_back(Strings(i));
    return lines;
}

} // namespace pavilo
