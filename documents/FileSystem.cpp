#include "documents/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavilo {

namespace {

std::string parentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Makes a rename durable; a file system that cannot sync directories is
// no reason to call the save failed.
void syncDirectory(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

class TNativeFileSystem : public TFileSystem {
public:
    TPathKind Kind(const std::string& path) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0)
            return pkMissing;
        return S_ISDIR(st.st_mode) ? pkDirectory : pkFile;
    }

    bool CreateDirectory(const std::string& path) override
    {
        return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && Kind(path) == pkDirectory);
    }

    bool DeleteFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    bool WriteFile(const std::string& path, std::string_view bytes) override
    {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        bool ok = true;
        size_t done = 0;
        while (ok && done < bytes.size()) {
            ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ok = false;
            else
                done += static_cast<size_t>(n);
        }
        if (ok && ::fsync(fd) != 0)
            ok = false;
        if (::close(fd) != 0)
            ok = false;
        return ok;
    }

    bool Rename(const std::string& from, const std::string& to) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0)
            return false;
        syncDirectory(parentOf(to));
        return true;
    }
};

} // namespace

TFileSystem& NativeFileSystem()
{
    static TNativeFileSystem fs;
    return fs;
}

bool ForceDirectories(TFileSystem& fs, const std::string& dir)
{
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/')
        d.pop_back();
    if (d.empty())
        return false;
    TPathKind kind = fs.Kind(d);
    if (kind != pkMissing)
        return kind == pkDirectory;
    size_t slash = d.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(fs, d.substr(0, slash)))
        return false;
    fs.CreateDirectory(d);
    return fs.Kind(d) == pkDirectory;
}

} // namespace pavilo
