#pragma once
// The attribute list the HTML tag scanner hands to every tag event: one line
// per attribute, the name, "=" and the value, in source order.
//
// The scanner reuses one list for a whole scan and clears it at every block,
// so a handler must copy what it keeps. Views returned by the accessors stay
// valid until the list is next changed.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

class THtmlAttributes {
public:
    int Count() const { return static_cast<int>(m_lines.size()); }
    bool Empty() const { return m_lines.empty(); }
    // The whole line "name=value".
    std::string_view Strings(int i) const
    {
        const TLine& l = m_lines.at(static_cast<size_t>(i));
        return std::string_view(m_text).substr(l.Start, l.NameLength + 1 + l.ValueLength);
    }
    std::string_view operator[](int i) const { return Strings(i); }
    std::string_view Names(int i) const
    {
        const TLine& l = m_lines.at(static_cast<size_t>(i));
        return std::string_view(m_text).substr(l.Start, l.NameLength);
    }
    std::string_view ValueFromIndex(int i) const
    {
        const TLine& l = m_lines.at(static_cast<size_t>(i));
        return std::string_view(m_text).substr(l.Start + l.NameLength + 1, l.ValueLength);
    }
    // The first line whose name equals name ignoring ASCII case, or -1.
    int IndexOfName(std::string_view name) const;
    // The value of that line, or empty.
    std::string_view Values(std::string_view name) const
    {
        int i = IndexOfName(name);
        return i < 0 ? std::string_view() : ValueFromIndex(i);
    }
    std::vector<std::string> Lines() const;

    void Clear()
    {
        m_text.clear();
        m_lines.clear();
    }
    void Reserve(size_t lines) { m_lines.reserve(lines); }
    void Add(std::string_view name, std::string_view value)
    {
        m_lines.push_back({m_text.size(), name.size(), value.size()});
        m_text.append(name);
        m_text.push_back('=');
        m_text.append(value);
    }

private:
    struct TLine {
        size_t Start;
        size_t NameLength;
        size_t ValueLength;
    };
    std::string m_text; // the lines back to back
    std::vector<TLine> m_lines;
};

} // namespace pavilo
