#pragma once
// A settings store held in memory, with the registry's typed values, for
// tests and for runs that must leave no trace.

#include <map>
#include <variant>

#include "documents/SettingsStore.h"

namespace pavilo {

class TMemorySettingsStore : public TSettingsStore {
public:
    using TValue = std::variant<std::string, int32_t>;
    struct TNodeData {
        std::vector<std::pair<std::string, TValue>> Values;
        std::vector<std::pair<std::string, std::unique_ptr<TNodeData>>> Keys;
    };

    TMemorySettingsStore();
    ~TMemorySettingsStore() override;

    std::unique_ptr<TSettingsKey> OpenKey(std::string_view path, bool create) override;
    bool KeyExists(std::string_view path) const override;
    bool DeleteKey(std::string_view path) override;

    // The names of the subkeys of a key, in creation order (empty for none).
    std::vector<std::string> SubKeyNames(std::string_view path) const;
    // Every key is refused from now on (open, create, write), to test the
    // paths where the store fails.
    void SetFailing(bool failing) { m_failing = failing; }
    bool Failing() const { return m_failing; }

private:
    TNodeData* find(std::string_view path) const;
    TNodeData m_root;
    bool m_failing = false;
};

} // namespace pavilo
