#include "tools/Cabinet.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mspack.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/InstallFolder.h"
#include "tools/PackageInfo.h"

namespace pavilo {

namespace {

// The output of an extraction is a pending file of the install folder; the
// archive itself is read through plain descriptors.
struct TCabFile {
    int Fd = -1;
    TInstallFolder::TPendingFile* Output = nullptr;
};

struct TCabSystem {
    mspack_system Base; // first, so the library's pointer is ours
    TInstallFolder::TPendingFile* Output = nullptr;
    std::string OutputError;
};

mspack_file* sysOpen(mspack_system* self, const char* filename, int mode)
{
    auto* sys = reinterpret_cast<TCabSystem*>(self);
    auto* file = new TCabFile;
    if (mode == MSPACK_SYS_OPEN_READ) {
        file->Fd = ::open(filename, O_RDONLY | O_CLOEXEC);
        if (file->Fd < 0) {
            delete file;
            return nullptr;
        }
    } else if (mode == MSPACK_SYS_OPEN_WRITE && sys->Output) {
        file->Output = sys->Output;
    } else {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(file);
}

void sysClose(mspack_file* f)
{
    auto* file = reinterpret_cast<TCabFile*>(f);
    if (file->Fd >= 0)
        ::close(file->Fd);
    delete file;
}

int sysRead(mspack_file* f, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<TCabFile*>(f);
    if (file->Fd < 0 || bytes < 0)
        return -1;
    size_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < static_cast<size_t>(bytes)) {
        ssize_t n = ::read(file->Fd, p + done, static_cast<size_t>(bytes) - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int>(done);
}

int sysWrite(mspack_file* f, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<TCabFile*>(f);
    if (!file->Output || bytes < 0)
        return -1;
    return file->Output->Write(buffer, static_cast<size_t>(bytes)) ? bytes : -1;
}

int sysSeek(mspack_file* f, off_t offset, int mode)
{
    auto* file = reinterpret_cast<TCabFile*>(f);
    if (file->Fd < 0)
        return -1;
    int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
    return ::lseek(file->Fd, offset, whence) < 0 ? -1 : 0;
}

off_t sysTell(mspack_file* f)
{
    auto* file = reinterpret_cast<TCabFile*>(f);
    return file->Fd < 0 ? -1 : ::lseek(file->Fd, 0, SEEK_CUR);
}

void sysMessage(mspack_file*, const char*, ...)
{
    // The library's remarks about damaged archives surface as error codes.
}

void* sysAlloc(mspack_system*, size_t bytes)
{
    return std::malloc(bytes);
}

void sysFree(void* p)
{
    std::free(p);
}

void sysCopy(void* src, void* dest, size_t bytes)
{
    std::memmove(dest, src, bytes);
}

std::string errorText(int code)
{
    switch (code) {
    case MSPACK_ERR_OPEN:
    case MSPACK_ERR_READ:
    case MSPACK_ERR_SEEK:
        return "The file cannot be read.";
    case MSPACK_ERR_WRITE:
        return "The file cannot be written.";
    case MSPACK_ERR_NOMEMORY:
        return "Out of memory.";
    case MSPACK_ERR_SIGNATURE:
        return "It is not a cabinet file.";
    case MSPACK_ERR_CHECKSUM:
        return "A checksum does not match.";
    default:
        return "The cabinet file is damaged.";
    }
}

std::string lowerSlashed(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c == '\\')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

} // namespace

struct TCabinet::TState {
    TCabSystem System{};
    mscab_decompressor* Decompressor = nullptr;
    mscabd_cabinet* Cabinet = nullptr;
    std::string FileName;

    void extract(mscabd_file* member, const std::string& relativePath, TInstallFolder& folder)
    {
        TInstallFolder::TPendingFile output = folder.Create(relativePath);
        System.Output = &output;
        int rc = Decompressor->extract(Decompressor, member, "output");
        System.Output = nullptr;
        if (rc != MSPACK_ERR_OK)
            throw ECabinetError("Unable to extract '" + std::string(member->filename) + "' from package file " +
                                std::string(PackageFileNamePart(FileName)) + ". " + errorText(rc));
        output.Commit();
    }
};

TCabinet::TCabinet(const std::string& fileName) : m_state(std::make_unique<TState>())
{
    TState& s = *m_state;
    s.FileName = fileName;
    s.System.Base = mspack_system{sysOpen, sysClose, sysRead, sysWrite, sysSeek, sysTell,
                                  sysMessage, sysAlloc, sysFree, sysCopy, nullptr};
    int selfTest = 0;
    MSPACK_SYS_SELFTEST(selfTest);
    if (selfTest != MSPACK_ERR_OK)
        throw ECabinetError("The cabinet reader cannot be used.");
    s.Decompressor = mspack_create_cab_decompressor(&s.System.Base);
    if (!s.Decompressor)
        throw ECabinetError("The cabinet reader cannot be used.");
    s.Cabinet = s.Decompressor->open(s.Decompressor, fileName.c_str());
    if (!s.Cabinet) {
        int rc = s.Decompressor->last_error(s.Decompressor);
        mspack_destroy_cab_decompressor(s.Decompressor);
        s.Decompressor = nullptr;
        throw ECabinetError("Unable to read package file " + std::string(PackageFileNamePart(fileName)) + ". " +
                            errorText(rc));
    }
}

TCabinet::~TCabinet()
{
    if (m_state->Cabinet)
        m_state->Decompressor->close(m_state->Decompressor, m_state->Cabinet);
    if (m_state->Decompressor)
        mspack_destroy_cab_decompressor(m_state->Decompressor);
}

std::vector<std::string> TCabinet::MemberNames() const
{
    std::vector<std::string> names;
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next)
        names.emplace_back(f->filename);
    return names;
}

std::string TCabinet::FindMember(std::string_view name) const
{
    std::string wanted = lowerSlashed(name);
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next)
        if (lowerSlashed(f->filename) == wanted)
            return f->filename;
    return std::string();
}

std::string TCabinet::FirstUnsafeMember() const
{
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next)
        if (!SafeRelativePath(f->filename))
            return f->filename;
    return std::string();
}

std::string TCabinet::ExtractMember(std::string_view name, TInstallFolder& folder)
{
    std::string wanted = lowerSlashed(name);
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next) {
        if (lowerSlashed(f->filename) != wanted)
            continue;
        std::optional<std::string> path = SafeRelativePath(f->filename);
        if (!path)
            return std::string();
        m_state->extract(f, *path, folder);
        return *path;
    }
    return std::string();
}

void TCabinet::ExtractAll(TInstallFolder& folder)
{
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next)
        if (!SafeRelativePath(f->filename))
            throw ECabinetError("Package file " + std::string(PackageFileNamePart(m_state->FileName)) +
                                " holds the file '" + f->filename +
                                "', whose name leads outside the install folder.");
    for (mscabd_file* f = m_state->Cabinet->files; f; f = f->next)
        m_state->extract(f, *SafeRelativePath(f->filename), folder);
}

} // namespace pavilo
