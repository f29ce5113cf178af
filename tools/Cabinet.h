#pragma once
// A package file opened as a cabinet archive, and extraction of its members
// into a folder through TInstallFolder.
//
// The archive is read in-process; a damaged archive gives ECabinetError, never
// a partly written member (a member is renamed into place only once it has
// been decompressed and checked whole).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exception.h"

namespace pavilo {

class TInstallFolder;

class ECabinetError : public Exception {
public:
    using Exception::Exception;
};

class TCabinet {
public:
    // Raises ECabinetError when the file cannot be read as a cabinet.
    explicit TCabinet(const std::string& fileName);
    TCabinet(const TCabinet&) = delete;
    TCabinet& operator=(const TCabinet&) = delete;
    ~TCabinet();

    // Member names as stored (folders separated by "\" as a rule).
    std::vector<std::string> MemberNames() const;
    // The first member whose name, with "\" read as "/", equals name
    // ignoring case; empty when none.
    std::string FindMember(std::string_view name) const;
    // The first member whose name makes no safe relative path; empty when
    // every name is safe.
    std::string FirstUnsafeMember() const;

    // Extracts the member found by FindMember to its own relative path in
    // the folder and returns that path; empty when there is no such member
    // or its name is unsafe. Raises ECabinetError when extraction fails.
    std::string ExtractMember(std::string_view name, TInstallFolder& folder);
    // Extracts every member to its relative path, replacing existing files.
    // Call FirstUnsafeMember first: an unsafe name raises ECabinetError
    // before anything is written.
    void ExtractAll(TInstallFolder& folder);

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};

} // namespace pavilo
