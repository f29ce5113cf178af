#include "tools/HtmlAttributes.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {
} // namespace

int THtmlAttributes::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
        if (EqualsIgnoringCase(Names(i), name))
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
