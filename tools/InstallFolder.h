#pragma once
// Writing package files into one folder without ever leaving it.
//
// Names come from a package, so they are taken apart first: "\" is a
// separator, and a name that is absolute (a "/" or "\" in front, or a drive
// such as "C:") or that climbs with ".." is refused. Folders inside the
// install folder are entered without following symbolic links, and a file is
// written to a fresh temporary name and then renamed over the target, so a
// symbolic link (or a hard link) planted under that name is replaced, never
// written through. Failures raise Exception with a message for the user.

#include <optional>
#include <string>
#include <string_view>

#include "model/Exception.h"

namespace pavilo {

// The name as a relative path with "/" separators and without "." or empty
// segments; nothing when it is absolute, climbs out, or names no file.
std::optional<std::string> SafeRelativePath(std::string_view name);

class TInstallFolder {
public:
    // Opens an existing folder (following the folder itself if it is a link).
    explicit TInstallFolder(const std::string& folder);
    TInstallFolder(const TInstallFolder&) = delete;
    TInstallFolder& operator=(const TInstallFolder&) = delete;
    ~TInstallFolder();

    const std::string& Path() const { return m_path; }

    // A file being written; it replaces the target only at Commit and is
    // removed if dropped before.
    class TPendingFile {
    public:
        TPendingFile(TPendingFile&& other) noexcept;
        TPendingFile& operator=(TPendingFile&&) = delete;
        ~TPendingFile();
        // False on a write error (the error is kept for Commit).
        bool Write(const void* data, size_t size);
        void Commit();
        const std::string& Name() const { return m_name; }

    private:
        friend class TInstallFolder;
        TPendingFile(int dirFd, std::string tempName, std::string leafName, std::string name, int fd);
        void discard();
        int m_dirFd = -1; // owned
        int m_fd = -1;    // owned
        std::string m_tempName;
        std::string m_leafName;
        std::string m_name; // the relative path, for messages
        int m_error = 0;
    };

    // Starts writing the file at a relative path (already made safe),
    // creating missing folders on the way.
    TPendingFile Create(std::string_view relativePath);
    void WriteFile(std::string_view relativePath, std::string_view bytes);
    // Whether anything (a link included) stands at the relative path.
    bool Exists(std::string_view relativePath) const;
    bool IsSymbolicLink(std::string_view relativePath) const;
    // Removes a file (a link itself, never its target); false if none.
    bool RemoveFile(std::string_view relativePath);

private:
    // The folder holding the path's last segment, opened without following
    // links; -1 when it does not exist. create makes missing folders; failed
    // receives the part of the path that is a link or a file, not a folder.
    int openParent(std::string_view relativePath, std::string* leaf, bool create,
                   std::string* failed = nullptr) const;

    std::string m_path;
    int m_fd = -1;
};

} // namespace pavilo
