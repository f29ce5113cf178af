#include "tools/PackageInfo.h"

#include <limits>
#include <unordered_map>

namespace pavilo {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCopy(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string_view trimBlanks(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

} // namespace

int32_t ParseProfileInteger(std::string_view text, int32_t fallback)
{
    int32_t value = fallback;
    TryParseProfileInteger(text, value);
    return value;
}

bool TryParseProfileInteger(std::string_view text, int32_t& result)
{
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    int64_t value = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * base + d;
        // Hexadecimal may spell the full 32 bits ("0xFFFFFFFF" is -1).
        if (value > (base == 16 ? int64_t(0xFFFFFFFF) : int64_t(std::numeric_limits<int32_t>::max()) + 1))
            return false;
    }
    if (base == 16 && !negative) {
        result = static_cast<int32_t>(static_cast<uint32_t>(value));
        return true;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    result = static_cast<int32_t>(value);
    return true;
}

void TPackageInfoFile::SetText(std::string_view text)
{
    m_sections.clear();
    // Lookup tables only while reading: they keep a file of a million keys linear.
    std::unordered_map<std::string, size_t> sectionIndex;
    std::vector<std::unordered_map<std::string, size_t>> keyIndex;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    TSection* current = nullptr;
    std::unordered_map<std::string, size_t>* currentKeys = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = lowerCopy(trimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            auto [it, added] = sectionIndex.try_emplace(name, m_sections.size());
            if (added) {
                m_sections.push_back(TSection{name, {}});
                keyIndex.emplace_back();
            }
            current = &m_sections[it->second];
            currentKeys = &keyIndex[it->second];
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos)
            continue;
        std::string_view key = trimBlanks(line.substr(0, eq));
        if (key.empty())
            continue;
        std::string lower = lowerCopy(key);
        if (!currentKeys->try_emplace(lower, current->Entries.size()).second)
            continue;
        current->Entries.push_back(
            TEntry{std::string(key), std::move(lower), std::string(unquote(trimBlanks(line.substr(eq + 1))))});
    }
}

const TPackageInfoFile::TSection* TPackageInfoFile::findSection(std::string_view section) const
{
    std::string lower = lowerCopy(section);
    for (const TSection& s : m_sections)
        if (s.LowerName == lower)
            return &s;
    return nullptr;
}

const TPackageInfoFile::TEntry* TPackageInfoFile::findEntry(std::string_view section, std::string_view key) const
{
    const TSection* s = findSection(section);
    if (!s)
        return nullptr;
    std::string lower = lowerCopy(key);
    for (const TEntry& e : s->Entries)
        if (e.LowerKey == lower)
            return &e;
    return nullptr;
}

bool TPackageInfoFile::HasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

std::string TPackageInfoFile::ReadString(std::string_view section, std::string_view key,
                                         const std::string& fallback) const
{
    const TEntry* e = findEntry(section, key);
    return e ? e->Value : fallback;
}

int32_t TPackageInfoFile::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const
{
    const TEntry* e = findEntry(section, key);
    return e ? ParseProfileInteger(e->Value, fallback) : fallback;
}

std::vector<std::string> TPackageInfoFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::string> lines;
    const TSection* s = findSection(section);
    if (!s)
        return lines;
    lines.reserve(s->Entries.size());
    for (const TEntry& e : s->Entries)
        if (!e.Value.empty())
            lines.push_back(e.Key + "=" + e.Value);
    return lines;
}

TPackageInfo TPackageInfo::FromFile(const TPackageInfoFile& file)
{
    TPackageInfo info;
    info.PackageName = file.ReadString("Information", "PackageName");
    info.BuildDate = file.ReadString("Information", "BuildDate");
    info.Publisher = file.ReadString("Information", "Publisher");
    info.MessageFile = file.ReadString("Information", "MessageFile");
    info.Display = file.ReadInteger("Information", "Display", 0);
    info.ImportType = file.ReadInteger("Import", "ImportType", 2);
    info.ImportLocation = file.ReadString("Import", "ImportLocation");
    info.PaviloFile = file.ReadString("Import", "PaviloFile");
    info.Links = file.ReadSectionValues("Links");
    return info;
}

std::string_view PackageFileNamePart(std::string_view name)
{
    size_t slash = name.find_last_of("\\/");
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

} // namespace pavilo
