#include "tools/InstallFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pavilo {

namespace {

std::vector<std::string_view> segments(std::string_view path)
{
    std::vector<std::string_view> out;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string_view::npos)
            slash = path.size();
        std::string_view s = path.substr(pos, slash - pos);
        if (!s.empty() && s != ".")
            out.push_back(s);
        pos = slash + 1;
    }
    return out;
}

std::string writeError(std::string_view name, int err)
{
    return "Unable to write file '" + std::string(name) + "'. " + std::strerror(err);
}

std::string tempLeafName()
{
    static std::mt19937 random{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".~pv";
    for (int i = 0; i < 8; ++i)
        name += digits[random() % (sizeof digits - 1)];
    return name + ".tmp";
}

} // namespace

std::optional<std::string> SafeRelativePath(std::string_view name)
{
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    if (path.empty() || path[0] == '/' || path.find('\0') != std::string::npos)
        return std::nullopt;
    std::string out;
    for (std::string_view s : segments(path)) {
        if (s == "..")
            return std::nullopt;
        if (!out.empty())
            out += '/';
        out += s;
    }
    // A drive of the original platform, also behind "./" ("./C:/x").
    if (out.empty() || (out.size() >= 2 && out[1] == ':'))
        return std::nullopt;
    return out;
}

TInstallFolder::TInstallFolder(const std::string& folder) : m_path(folder)
{
    m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        throw Exception("Unable to open folder '" + folder + "'. " + std::strerror(errno));
}

TInstallFolder::~TInstallFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int TInstallFolder::openParent(std::string_view relativePath, std::string* leaf, bool create,
                               std::string* failed) const
{
    std::vector<std::string_view> parts = segments(relativePath);
    if (parts.empty()) {
        errno = EINVAL;
        return -1;
    }
    *leaf = std::string(parts.back());
    int dir = ::dup(m_fd);
    if (dir < 0)
        return -1;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        std::string part(parts[i]);
        if (create && ::mkdirat(dir, part.c_str(), 0777) != 0 && errno != EEXIST) {
            int err = errno;
            ::close(dir);
            errno = err;
            return -1;
        }
        int next = ::openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int err = errno;
        ::close(dir);
        if (next < 0) {
            // A link where a folder should be is never entered.
            if (failed)
                *failed = std::string(relativePath.substr(0, parts[i].data() + parts[i].size() - relativePath.data()));
            errno = (err == ELOOP || err == ENOTDIR) ? ENOTDIR : err;
            return -1;
        }
        dir = next;
    }
    return dir;
}

TInstallFolder::TPendingFile TInstallFolder::Create(std::string_view relativePath)
{
    std::string leaf, failed;
    int dir = openParent(relativePath, &leaf, true, &failed);
    if (dir < 0 && errno == ENOTDIR && !failed.empty())
        throw Exception("Unable to write file '" + std::string(relativePath) + "': '" + failed +
                        "' is not a folder inside the install folder.");
    if (dir < 0)
        throw Exception(writeError(relativePath, errno));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempLeafName();
        int fd = ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return TPendingFile(dir, std::move(temp), std::move(leaf), std::string(relativePath), fd);
        if (errno != EEXIST) {
            int err = errno;
            ::close(dir);
            throw Exception(writeError(relativePath, err));
        }
    }
    ::close(dir);
    throw Exception(writeError(relativePath, EEXIST));
}

void TInstallFolder::WriteFile(std::string_view relativePath, std::string_view bytes)
{
    TPendingFile file = Create(relativePath);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

bool TInstallFolder::Exists(std::string_view relativePath) const
{
    std::string leaf;
    int dir = openParent(relativePath, &leaf, false);
    if (dir < 0)
        return false;
    struct stat st {};
    bool found = ::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(dir);
    return found;
}

bool TInstallFolder::IsSymbolicLink(std::string_view relativePath) const
{
    std::string leaf;
    int dir = openParent(relativePath, &leaf, false);
    if (dir < 0)
        return false;
    struct stat st {};
    bool link = ::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    ::close(dir);
    return link;
}

bool TInstallFolder::RemoveFile(std::string_view relativePath)
{
    std::string leaf;
    int dir = openParent(relativePath, &leaf, false);
    if (dir < 0)
        return false;
    bool removed = ::unlinkat(dir, leaf.c_str(), 0) == 0;
    ::close(dir);
    return removed;
}

TInstallFolder::TPendingFile::TPendingFile(int dirFd, std::string tempName, std::string leafName,
                                           std::string name, int fd)
    : m_dirFd(dirFd), m_fd(fd), m_tempName(std::move(tempName)), m_leafName(std::move(leafName)),
      m_name(std::move(name))
{
}

TInstallFolder::TPendingFile::TPendingFile(TPendingFile&& other) noexcept
    : m_dirFd(other.m_dirFd), m_fd(other.m_fd), m_tempName(std::move(other.m_tempName)),
      m_leafName(std::move(other.m_leafName)), m_name(std::move(other.m_name)), m_error(other.m_error)
{
    other.m_dirFd = -1;
    other.m_fd = -1;
}

TInstallFolder::TPendingFile::~TPendingFile()
{
    discard();
}

void TInstallFolder::TPendingFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlinkat(m_dirFd, m_tempName.c_str(), 0);
    }
    if (m_dirFd >= 0) {
        ::close(m_dirFd);
        m_dirFd = -1;
    }
}

bool TInstallFolder::TPendingFile::Write(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0 && m_error == 0 && m_fd >= 0) {
        ssize_t n = ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return m_error == 0 && m_fd >= 0;
}

void TInstallFolder::TPendingFile::Commit()
{
    if (m_fd < 0)
        throw Exception(writeError(m_name, EBADF));
    int err = m_error;
    if (::close(m_fd) != 0 && err == 0)
        err = errno;
    m_fd = -1;
    // rename replaces whatever stands under the name, a link included, without following it.
    if (err == 0 && ::renameat(m_dirFd, m_tempName.c_str(), m_dirFd, m_leafName.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlinkat(m_dirFd, m_tempName.c_str(), 0);
        ::close(m_dirFd);
        m_dirFd = -1;
        throw Exception(writeError(m_name, err));
    }
    ::close(m_dirFd);
    m_dirFd = -1;
}

} // namespace pavilo
