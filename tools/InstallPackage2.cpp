#include "tools/InstallPackage2.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "model/DocumentNodes.h"
#include "model/LinkResolver.h"
#include "model/Node.h"
#include "model/stream/StrmPers.h"
#include "tools/Cabinet.h"
#include "tools/InstallFolder.h"
#include "tools/LinkRewriter.h"
#include "tools/ScanDoc.h"

namespace pavilo {

namespace {

// An information file is a few hundred lines; this is far beyond any real
// one and keeps a hostile archive from filling memory.
constexpr off_t kMaxInfoFileSize = 256 * 1024 * 1024;
// Only the beginning of an oversized message is shown.
constexpr size_t kMaxMessageSize = 1024 * 1024;

std::string withExtension(std::string_view fileName, std::string_view ext)
{
    size_t dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot)) + std::string(ext);
}

std::string withTrailingSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool isRegularFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Reads at most limit bytes of a file; nothing when it cannot be read or,
// with exact, is longer than limit.
std::optional<std::string> readFile(const std::string& path, size_t limit, bool exact)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (exact && static_cast<size_t>(st.st_size) > limit)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text(std::min(static_cast<size_t>(st.st_size), limit), '\0');
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(done);
    return text;
}

// A private folder under the user's temporary folder, removed with its
// contents when the install ends, however it ends.
class TScratchFolder {
public:
    TScratchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = (tmp && *tmp) ? tmp : "/tmp";
        std::string pattern = withTrailingSlash(base) + "pvpXXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw Exception("Unable to create a temporary folder in '" + base + "'. " + std::strerror(errno));
        m_path = pattern;
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    ~TScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Shows each link the scan adds in the status label, for as long as it lives.
class TScanStatus {
public:
    TScanStatus(TDocumentScanner& scanner, TInstallPackageView& view)
        : m_scanner(scanner), m_saved(std::move(scanner.OnAddLink))
    {
        scanner.OnAddLink = [&view](TDocumentScanner&, TLinkInfo& link) { view.SetStatus(link.Link); };
    }
    ~TScanStatus() { m_scanner.OnAddLink = std::move(m_saved); }

private:
    TDocumentScanner& m_scanner;
    TAddLinkEvent m_saved;
};

void createFolders(const std::string& location)
{
    std::string path = location;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    // A drive of the original platform cannot be made here.
    if (path.empty() || IsDrivePath(location) || IsNetworkPath(location))
        throw Exception(ipCannotCreateDirectory);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec || !isFolder(path))
        throw Exception(ipCannotCreateDirectory);
}

} // namespace

std::string NotAPackageMessage(const std::string& packageFileName)
{
    std::string text = ipNotAPackage;
    text.replace(text.find("%s"), 2, packageFileName);
    return text;
}

std::string ReplaceQuestion(const std::string& documentFileName)
{
    return "File '" + documentFileName + "' already exists.\nDo you want to replace it?";
}

bool TPackageInstaller::InstallPackage()
{
    m_rewritten = m_unreadable = m_mismatched = 0;
    m_paviloFile.clear();
    bool ok = false;
    try {
        ok = install();
    } catch (...) {
        m_paviloFile.clear();
        throw;
    }
    if (!ok)
        m_paviloFile.clear(); // only an installed document is handed out
    return ok;
}

bool TPackageInstaller::install()
{
    // 1. The package.
    while (!isRegularFile(m_packageFile)) {
        std::optional<std::string> chosen =
            m_view.SelectPackageFile(ipSelectPackageTitle, ipPackageFilter, ipPackageDefaultExt);
        if (!chosen) {
            m_view.ShowError(ipNoPackage);
            return false;
        }
        m_packageFile = *chosen;
    }
    const std::string packageName(PackageFileNamePart(m_packageFile));
    const std::string infoName = withExtension(packageName, ".inf");

    // 2, 3. The information file, read from a private temporary folder.
    TScratchFolder scratch;
    std::unique_ptr<TCabinet> cabinet;
    std::string infoPath;
    try {
        cabinet = std::make_unique<TCabinet>(m_packageFile);
        TInstallFolder temp(scratch.Path());
        infoPath = cabinet->ExtractMember(infoName, temp);
    } catch (const ECabinetError&) {
        infoPath.clear(); // a damaged archive yields no information file
    }
    std::optional<std::string> infoText;
    if (!infoPath.empty())
        infoText = readFile(scratch.Path() + "/" + infoPath, kMaxInfoFileSize, true);
    if (!infoText) {
        m_view.ShowError(NotAPackageMessage(packageName));
        return false;
    }

    // 4, 5. What the package says about itself.
    std::string caption = "Installing package file " + packageName;
    m_view.SetCaption(caption);
    m_view.SetStatus("Status:");
    const TPackageInfo info = TPackageInfo::FromText(*infoText);
    infoText.reset();
    TPackageDetails details{info.PackageName, info.BuildDate, info.Publisher, {}};
    const std::string messageName(PackageFileNamePart(info.MessageFile));
    if (!messageName.empty()) {
        try {
            TInstallFolder temp(scratch.Path());
            std::string messagePath = cabinet->ExtractMember(messageName, temp);
            if (!messagePath.empty())
                details.Message = readFile(scratch.Path() + "/" + messagePath, kMaxMessageSize, false).value_or("");
        } catch (const Exception&) {
            // A message that cannot be extracted is simply not shown.
        }
    }
    m_view.SetDetails(details);

    // 6.
    m_view.ShowProgress(info.Display == 1);

    // 7, 8. The install folder.
    if (!m_fixedFolder.empty()) {
        createFolders(m_fixedFolder);
        m_importLocation = m_fixedFolder;
    } else if (info.ImportType == 1) {
        m_importLocation = ProgramDirectory();
    } else if (info.ImportType == 2) {
        m_importLocation.clear();
    } else if (info.ImportType == 3) {
        createFolders(info.ImportLocation);
        m_importLocation = info.ImportLocation;
        for (char& c : m_importLocation)
            if (c == '\\')
                c = '/';
    }
    while (!isFolder(m_importLocation)) {
        m_importLocation.clear();
        std::optional<std::string> chosen = m_view.SelectFolder(ipSelectLocationTitle);
        if (!chosen) {
            m_view.ShowError(ipNoLocation);
            return false;
        }
        m_importLocation = *chosen;
    }

    // 9. The document's place, and the question before replacing it.
    // The rewritten references are absolute paths into the folder.
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(m_importLocation, ec).lexically_normal().string();
    const std::string folder = withTrailingSlash(ec ? m_importLocation : absolute);
    m_importLocation = folder;
    m_view.SetCaption(caption + " to " + folder + ".");
    m_view.SetStatus("Status: Extracting files...");
    std::string documentName(PackageFileNamePart(info.PaviloFile));
    // Packages were written where names ignore case: the member's own
    // spelling is the file that extraction makes.
    const std::string member = cabinet->FindMember(documentName);
    if (!member.empty() && member.find_first_of("\\/") == std::string::npos)
        documentName = member;
    if (!SafeRelativePath(documentName)) {
        m_view.ShowError("Package file " + packageName + " names no document to install.");
        return false;
    }
    m_paviloFile = folder + documentName;
    TInstallFolder target(folder);
    if (target.Exists(documentName) && !m_view.AskYesNo(ReplaceQuestion(documentName)))
        return false;

    // 10. Every member into the install folder, or none when a name is unsafe.
    const std::string unsafe = cabinet->FirstUnsafeMember();
    if (!unsafe.empty()) {
        m_view.ShowError("Package file " + packageName + " holds the file '" + unsafe +
                         "', whose name leads outside the install folder. Nothing was installed.");
        return false;
    }
    try {
        cabinet->ExtractAll(target);
    } catch (const Exception& e) {
        m_view.ShowError(e.Message());
        return false;
    }

    // 11. The loader's own errors reach the caller as raised.
    std::unique_ptr<TNode> top = LoadDocument(m_paviloFile);
    if (!top)
        return false;

    // 12.
    m_view.SetStatus("Status: Ready");
    {
        TDocumentScanner& scanner = DocumentScanner();
        TScanStatus status(scanner, m_view);
        scanner.ScanTreeLinks(top.get());
    }

    // 13.
    m_view.SetStatus("Status: Sorting links...");
    m_view.SetStatus("Status: Updating links...");
    TLinkRewriter rewriter(info.Links, folder);
    try {
        rewriter.Run(top.get());
    } catch (const EUnsafeLink& e) {
        m_view.ShowError(e.Message());
        return false;
    }
    m_rewritten = rewriter.Rewritten();
    m_unreadable = rewriter.Unreadable();
    m_mismatched = rewriter.Mismatched();

    // 14. Saved through a fresh file renamed into place: a link planted
    // under the document's name is replaced, not written through.
    m_view.SetStatus("Complete");
    if (auto* file = dynamic_cast<TFileNode*>(top.get()))
        file->StampProvenance();
    bool written = false;
    std::string bytes = DocumentBytes(top.get(), &written);
    if (!written) {
        m_view.ShowError("Cannot write file \"" + m_paviloFile + "\".");
        return false;
    }
    try {
        target.WriteFile(documentName, bytes);
    } catch (const Exception& e) {
        m_view.ShowError(e.Message());
        return false;
    }
    top->ForEachNode([](TNode* n) { n->SetModified(false); });
    top.reset();
    const std::string installedInfo = cabinet->FindMember(infoName);
    if (std::optional<std::string> path = SafeRelativePath(installedInfo))
        target.RemoveFile(*path);
    m_view.CloseProgress();
    return true;
}

} // namespace pavilo
