#include "model/StringList.h"

#include <algorithm>

namespace pavilo {

bool TStringList::IsNormalized(std::string_view text)
{
    // Every CR is followed by LF, every LF preceded by CR, and the text ends with CR LF.
    const size_t n = text.size();
    if (n == 0)
        return true;
    if (n < 2 || text[n - 2] != '\r' || text[n - 1] != '\n')
        return false;
    for (size_t i = 0; i + 2 < n; ++i) {
        char c = text[i];
        if (c == '\n' || (c == '\r' && text[i + 1] != '\n'))
            return false;
        if (c == '\r')
            ++i;
    }
    return true;
}

std::string TStringList::Normalize(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    size_t start = 0;
    while (start < text.size()) {
        size_t brk = text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            out.append(text.substr(start));
            out.append("\r\n");
            break;
        }
        out.append(text.substr(start, brk - start));
        out.append("\r\n");
        start = brk + 1;
        if (text[brk] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return out;
}

void TStringList::SetText(std::string&& text)
{
    if (!IsNormalized(text))
        text = Normalize(text);
    if (text == m_text)
        return;
    m_text = std::move(text);
    changed();
}

int TStringList::Count() const
{
    // In stored form every line ends with exactly one LF.
    return static_cast<int>(std::count(m_text.begin(), m_text.end(), '\n'));
}

std::vector<std::string> TStringList::Lines() const
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < m_text.size()) {
        size_t end = m_text.find("\r\n", start);
        lines.emplace_back(m_text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void TStringList::Add(std::string_view line)
{
    m_text.append(line);
    m_text.append("\r\n");
    changed();
}

void TStringList::Clear()
{
    if (m_text.empty())
        return;
    m_text.clear();
    changed();
}

} // namespace pavilo
