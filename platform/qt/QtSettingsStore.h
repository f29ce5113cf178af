#pragma once
// The per-user settings store on QSettings: an INI file at the standard
// per-user place (organisation = company name, application = product name).
// Key paths under the program's base key ("\Software\Quorvel\Pavilo\Files")
// become groups ("Files"); other paths are refused. Key and value names are
// matched without regard to case, as the program's layout expects.

#include <memory>

#include "documents/SettingsStore.h"

class QSettings;

namespace pavilo {

class TQtSettingsStore : public TSettingsStore {
public:
    // The program's own store. A QCoreApplication need not exist; the
    // location follows XDG_CONFIG_HOME as it is at the first use.
    TQtSettingsStore();
    // A store in the given INI file, with the same key mapping.
    explicit TQtSettingsStore(const std::string& iniFile);
    ~TQtSettingsStore() override; // writes pending changes

    std::unique_ptr<TSettingsKey> OpenKey(std::string_view path, bool create) override;
    bool KeyExists(std::string_view path) const override;
    bool DeleteKey(std::string_view path) override;
    bool Flush() override;

    // The INI file behind the store.
    std::string FileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace pavilo
