#include "documents/MemorySettingsStore.h"

#include <algorithm>

namespace pavilo {

namespace {

using TNodeData = TMemorySettingsStore::TNodeData;
using TValue = TMemorySettingsStore::TValue;

template <typename List>
auto findNamed(List& list, std::string_view name)
{
    return std::find_if(list.begin(), list.end(), [name](const auto& e) { return SameSettingsName(e.first, name); });
}

TNodeData* walk(TNodeData* node, const std::vector<std::string>& parts, bool create)
{
    for (const std::string& part : parts) {
        auto it = findNamed(node->Keys, part);
        if (it == node->Keys.end()) {
            if (!create)
                return nullptr;
            node->Keys.emplace_back(part, std::make_unique<TNodeData>());
            it = std::prev(node->Keys.end());
        }
        node = it->second.get();
    }
    return node;
}

// Resolves its path on every access, so a key deleted behind its back
// reads as empty instead of dangling.
class TMemoryKey : public TSettingsKey {
public:
    TMemoryKey(TMemorySettingsStore& store, TNodeData& root, std::vector<std::string> parts)
        : m_store(store), m_root(root), m_parts(std::move(parts))
    {
    }

    std::optional<std::string> ReadString(std::string_view name) const override
    {
        const TValue* v = value(name);
        if (!v || !std::holds_alternative<std::string>(*v))
            return std::nullopt;
        return std::get<std::string>(*v);
    }
    std::optional<int32_t> ReadInteger(std::string_view name) const override
    {
        const TValue* v = value(name);
        if (!v || !std::holds_alternative<int32_t>(*v))
            return std::nullopt;
        return std::get<int32_t>(*v);
    }
    bool WriteString(std::string_view name, std::string_view value) override
    {
        return write(name, TValue(std::string(value)));
    }
    bool WriteInteger(std::string_view name, int32_t value) override { return write(name, TValue(value)); }
    std::vector<std::string> ValueNames() const override
    {
        std::vector<std::string> names;
        if (TNodeData* node = walk(&m_root, m_parts, false))
            for (const auto& v : node->Values)
                names.push_back(v.first);
        return names;
    }
    bool DeleteValue(std::string_view name) override
    {
        TNodeData* node = walk(&m_root, m_parts, false);
        if (!node || m_store.Failing())
            return false;
        auto it = findNamed(node->Values, name);
        if (it == node->Values.end())
            return false;
        node->Values.erase(it);
        return true;
    }

private:
    const TValue* value(std::string_view name) const
    {
        TNodeData* node = walk(&m_root, m_parts, false);
        if (!node)
            return nullptr;
        auto it = findNamed(node->Values, name);
        return it == node->Values.end() ? nullptr : &it->second;
    }
    bool write(std::string_view name, TValue v)
    {
        if (m_store.Failing())
            return false;
        TNodeData* node = walk(&m_root, m_parts, true);
        auto it = findNamed(node->Values, name);
        if (it == node->Values.end())
            node->Values.emplace_back(std::string(name), std::move(v));
        else
            *it = {std::string(name), std::move(v)};
        return true;
    }

    TMemorySettingsStore& m_store;
    TNodeData& m_root;
    std::vector<std::string> m_parts;
};

} // namespace

TMemorySettingsStore::TMemorySettingsStore() = default;
TMemorySettingsStore::~TMemorySettingsStore() = default;

TMemorySettingsStore::TNodeData* TMemorySettingsStore::find(std::string_view path) const
{
    return walk(const_cast<TNodeData*>(&m_root), SplitKeyPath(path), false);
}

std::unique_ptr<TSettingsKey> TMemorySettingsStore::OpenKey(std::string_view path, bool create)
{
    if (m_failing)
        return nullptr;
    std::vector<std::string> parts = SplitKeyPath(path);
    if (!walk(&m_root, parts, create))
        return nullptr;
    return std::make_unique<TMemoryKey>(*this, m_root, std::move(parts));
}

bool TMemorySettingsStore::KeyExists(std::string_view path) const
{
    return find(path) != nullptr;
}

bool TMemorySettingsStore::DeleteKey(std::string_view path)
{
    if (m_failing)
        return false;
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty())
        return false;
    std::string last = parts.back();
    parts.pop_back();
    TNodeData* parent = walk(&m_root, parts, false);
    if (!parent)
        return false;
    auto it = findNamed(parent->Keys, last);
    if (it == parent->Keys.end())
        return false;
    parent->Keys.erase(it);
    return true;
}

std::vector<std::string> TMemorySettingsStore::SubKeyNames(std::string_view path) const
{
    std::vector<std::string> names;
    if (TNodeData* node = find(path))
        for (const auto& k : node->Keys)
            names.push_back(k.first);
    return names;
}

} // namespace pavilo
