#include "tools/LinkedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "model/Node.h"
#include "tools/ScanDoc.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

// The byte size of a file that can be opened for reading, else none.
std::optional<int64_t> openedFileSize(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return static_cast<int64_t>(st.st_size);
}

} // namespace

std::string LinkedFileSizeText(int64_t bytes)
{
    int64_t kb = bytes / 1024;
    if (kb < 1)
        kb = bytes > 0 ? 1 : 0;
    return std::to_string(kb) + " Kb";
}

std::string LinkedFileSize(const std::string& path)
{
    return LinkedFileSizeText(openedFileSize(path).value_or(0));
}

TLinkedFiles::TLinkedFiles(TDocumentScanner& scanner, TLinkedFilesWindow& window)
    : m_scanner(scanner), m_window(window)
{
}

std::optional<TLinkedFileRow> TLinkedFiles::RowOf(const TLinkInfo& link)
{
    int32_t status = link.LinkStatus();
    if (status != lsFileExists && status != lsFileMissing)
        return std::nullopt;
    TLinkedFileRow row;
    // Both separators: drive paths of the original platform use "\".
    size_t slash = link.PathName.find_last_of("/\\");
    row.Path = slash == std::string::npos ? std::string() : link.PathName.substr(0, slash + 1);
    row.Name = slash == std::string::npos ? link.PathName : link.PathName.substr(slash + 1);
    if (status == lsFileExists) {
        row.Status = "ok";
        row.Size = LinkedFileSize(link.PathName);
        row.Type = m_window.FileTypeName(link.PathName);
        if (row.Type.empty())
            row.Type = "Unknown";
    } else {
        row.Status = "missing";
        row.Type = std::string(FileNotFoundType);
    }
    return row;
}

void TLinkedFiles::ShowSubtreeLinks(TNode* node)
{
    if (!node)
        return;
    if (m_scanner.ScanTreeLinks(node) > 0)
        m_window.ShowWarning(LinkScanWarning);
    TLinkCollection links;
    m_scanner.CollectTreeLinks(node, links);
    m_scanner.SetLinks(&links);
    m_window.SetEditButtonsVisible(false);
    struct TRestore {
        TLinkedFiles& Owner;
        ~TRestore()
        {
            Owner.m_window.SetEditButtonsVisible(true);
            Owner.m_scanner.SetLinks(nullptr);
        }
    } restore{*this};
    m_window.ShowModal();
}

void TLinkedFiles::Refill()
{
    m_window.ClearRows();
    TLinkCollection* links = m_scanner.Links();
    if (!links)
        return;
    for (const TLinkInfo& link : *links)
        if (std::optional<TLinkedFileRow> row = RowOf(link))
            m_window.AddRow(*row);
}

bool TLinkedFiles::AddExecute()
{
    std::optional<std::string> path = m_window.ChooseFile(LinkedFilesFilter);
    return path && AddFile(*path);
}

bool TLinkedFiles::AddFile(const std::string& path)
{
    TLinkCollection* links = m_scanner.Links();
    if (!links || path.empty())
        return false;
    for (const TLinkInfo& link : *links)
        if (link.PathName == path)
            return false;
    TLinkInfo& link = links->Add();
    link.Link = path;
    link.SourceOrigin = path;
    link.PathName = path;
    link.LinkLength = static_cast<int32_t>(path.size());
    if (std::optional<TLinkedFileRow> row = RowOf(link))
        m_window.AddRow(*row);
    return true;
}

bool TLinkedFiles::RemoveFile(const std::string& fullPath)
{
    TLinkCollection* links = m_scanner.Links();
    if (!links)
        return false;
    int found = -1;
    for (int i = 0; i < links->Count() && found < 0; ++i)
        if (EqualsIgnoringCase(links->Items(i).PathName, fullPath))
            found = i;
    if (found < 0)
        return false;
    // The collection has no delete: keep every other item, in order.
    TLinkCollection kept;
    for (int i = 0; i < links->Count(); ++i)
        if (i != found)
            kept.Add().Assign(links->Items(i));
    links->Assign(kept);
    m_window.RemoveRow(fullPath);
    return true;
}

void TLinkedFiles::OpenRow(const TLinkedFileRow& row)
{
    m_window.OpenFile(row.FullPath());
}

} // namespace pavilo
