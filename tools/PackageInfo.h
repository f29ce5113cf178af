#pragma once
// The information file of a package: an INI text with the sections
// "Information", "Import" and "Links".
//
// Sections and keys are matched ignoring case; the first occurrence of a key
// in a section wins, and repeated section headers continue the same section.
// Values lose their surrounding blanks and one pair of enclosing quotes.
// Reading never fails: whatever is not understood is skipped, so any bytes
// give some settings.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

// An integer written in decimal or with a "0x" prefix, with an optional sign
// and surrounding blanks; false for anything else (empty, trailing text, out
// of the 32-bit range), value then unchanged.
bool TryParseProfileInteger(std::string_view text, int32_t& value);
// The same with a fallback for what is not such an integer.
int32_t ParseProfileInteger(std::string_view text, int32_t fallback);

class TPackageInfoFile {
public:
    TPackageInfoFile() = default;
    explicit TPackageInfoFile(std::string_view text) { SetText(text); }

    // Replaces the contents with those of an INI text.
    void SetText(std::string_view text);

    bool HasSection(std::string_view section) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& fallback = std::string()) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // "key=value" for each distinct key of the section in file order; keys
    // with an empty value give no line.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

private:
    struct TEntry {
        std::string Key;
        std::string LowerKey;
        std::string Value;
    };
    struct TSection {
        std::string LowerName;
        std::vector<TEntry> Entries; // distinct keys, first value kept
    };
    const TSection* findSection(std::string_view section) const;
    const TEntry* findEntry(std::string_view section, std::string_view key) const;

    std::vector<TSection> m_sections;
};

// The settings of a package, with the defaults for what is missing.
struct TPackageInfo {
    std::string PackageName;
    std::string BuildDate;
    std::string Publisher;
    std::string MessageFile;    // as written; only its file-name part is used
    int32_t Display = 0;        // 1: details shown
    int32_t ImportType = 2;     // 1 program folder, 2 ask, 3 ImportLocation
    std::string ImportLocation;
    std::string PaviloFile;     // as written; only its file-name part is used
    std::vector<std::string> Links; // "key=flag?old?new", in key order

    static TPackageInfo FromFile(const TPackageInfoFile& file);
    static TPackageInfo FromText(std::string_view text) { return FromFile(TPackageInfoFile(text)); }
};

// The part of a name after its last "\" or "/".
std::string_view PackageFileNamePart(std::string_view name);

} // namespace pavilo
