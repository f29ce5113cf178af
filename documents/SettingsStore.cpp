#include "documents/SettingsStore.h"
#include "model/AsciiCase.h"

#include <cctype>

namespace pavilo {

std::optional<bool> TSettingsKey::ReadBool(std::string_view name) const
{
    std::optional<int32_t> v = ReadInteger(name);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

std::vector<std::string> SplitKeyPath(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

bool SameSettingsName(std::string_view a, std::string_view b)
{
    return EqualsIgnoringCase(a, b);
}

} // namespace pavilo
