#pragma once
// The per-user settings store as the core sees it: a tree of keys holding
// named string and integer values, addressed by registry-style key paths
// ("\Software\Quorvel\Pavilo\Files\File_3"; '/' works as a separator too).
// Key and value names are matched without regard to case and written as
// given. Booleans are integers: 0 is false, anything else true.
//
// Failures are answers, never exceptions: a missing key opens as none, a
// missing or wrongly typed value reads as none, a refused write is false.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

// One open key. It stays usable after its store deleted it (writes then
// fail or recreate, as the store decides), but never outlives the store.
class TSettingsKey {
public:
    virtual ~TSettingsKey() = default;
    virtual std::optional<std::string> ReadString(std::string_view name) const = 0;
    virtual std::optional<int32_t> ReadInteger(std::string_view name) const = 0;
    std::optional<bool> ReadBool(std::string_view name) const;
    virtual bool WriteString(std::string_view name, std::string_view value) = 0;
    virtual bool WriteInteger(std::string_view name, int32_t value) = 0;
    bool WriteBool(std::string_view name, bool value) { return WriteInteger(name, value ? 1 : 0); }
    virtual std::vector<std::string> ValueNames() const = 0;
    virtual bool DeleteValue(std::string_view name) = 0;
};

class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    // none when the key does not exist and create is false, or when it
    // cannot be created.
    virtual std::unique_ptr<TSettingsKey> OpenKey(std::string_view path, bool create) = 0;
    virtual bool KeyExists(std::string_view path) const = 0;
    // Deletes the key with its values and subkeys; false when it did not exist.
    virtual bool DeleteKey(std::string_view path) = 0;
    // Writes pending changes to the medium; false when that failed.
    virtual bool Flush() { return true; }
};

// The components of a key path, without empty ones.
std::vector<std::string> SplitKeyPath(std::string_view path);
// ASCII case-insensitive equality, as key and value names compare.
bool SameSettingsName(std::string_view a, std::string_view b);

} // namespace pavilo
