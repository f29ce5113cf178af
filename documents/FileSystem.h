#pragma once
// The few file operations a safe save needs, behind one seam so that tests
// can make any single step fail. Every operation answers false on failure
// and never raises.

#include <string>
#include <string_view>

namespace pavilo {

enum TPathKind { pkMissing, pkFile, pkDirectory };

class TFileSystem {
public:
    virtual ~TFileSystem() = default;
    // What is at path (anything that is not a directory counts as a file).
    virtual TPathKind Kind(const std::string& path) = 0;
    bool Exists(const std::string& path) { return Kind(path) != pkMissing; }
    // One directory level; its parent must exist.
    virtual bool CreateDirectory(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // Creates or truncates the file, writes all bytes and flushes them to
    // the disk (fsync) before closing; false if any of it failed.
    virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
    // Replaces to when it exists; the directory entry is flushed too.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

// The machine's own file system.
TFileSystem& NativeFileSystem();

// Creates dir and every missing directory above it; true when dir is a
// directory afterwards.
bool ForceDirectories(TFileSystem& fs, const std::string& dir);

} // namespace pavilo
