#pragma once
// The logic of the "Linked files" dialog: the local files a subtree refers
// to, one row per link, and the dialog's add and remove commands. The
// dialog's window implements TLinkedFilesWindow; everything else is here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/LinkInfo.h"

namespace pavilo {

class TNode;
class TDocumentScanner;

// What one row of the list shows.
struct TLinkedFileRow {
    std::string Name;   // the file-name part of PathName
    std::string Path;   // the folder part, with its trailing separator
    std::string Status; // "ok" or "missing"
    std::string Size;   // "%d Kb", or empty for a missing file
    std::string Type;   // the file's type name, "Unknown", or "*** file not found ***"

    std::string FullPath() const { return Path + Name; }
};

// "%d Kb" with the byte size div 1024; "1 Kb" for 1 to 1023 bytes; "0 Kb"
// for an empty file or one that cannot be opened.
std::string LinkedFileSize(const std::string& path);
std::string LinkedFileSizeText(int64_t bytes);

// The window side of the dialog. Every call is made on the user-interface
// thread while the window exists.
class TLinkedFilesWindow {
public:
    virtual ~TLinkedFilesWindow() = default;
    // The desktop's type name of a file, or empty when it has none.
    virtual std::string FileTypeName(const std::string& path) = 0;
    // The warning message box (warning icon, OK button).
    virtual void ShowWarning(std::string_view text) = 0;
    // Shows or hides the "&Add..." and "&Remove" buttons.
    virtual void SetEditButtonsVisible(bool visible) = 0;
    // Runs the dialog modally; it calls Refill when it shows.
    virtual void ShowModal() = 0;
    virtual void ClearRows() = 0;
    virtual void AddRow(const TLinkedFileRow& row) = 0;
    // Removes the row whose FullPath is fullPath.
    virtual void RemoveRow(const std::string& fullPath) = 0;
    // The file dialog with the filter "All files (*.*)|*.*"; none on cancel.
    virtual std::optional<std::string> ChooseFile(std::string_view filter) = 0;
    // Asks the desktop to open a file ("open").
    virtual void OpenFile(const std::string& path) = 0;
};

inline constexpr std::string_view LinkedFilesFilter = "All files (*.*)|*.*";
inline constexpr std::string_view FileNotFoundType = "*** file not found ***";

// The controller of the one "Linked files" dialog of the run. It keeps
// neither the window nor the scanner beyond their lifetimes: both must
// outlive it.
class TLinkedFiles {
public:
    TLinkedFiles(TDocumentScanner& scanner, TLinkedFilesWindow& window);

    // The row of a link: status 0 "ok" with size and type, status 1
    // "missing"; nothing for links that are not local files.
    std::optional<TLinkedFileRow> RowOf(const TLinkInfo& link);

    // The structure tree's "Links" command: scans the subtree, warns once
    // when any scan failed, and shows its local files without the add and
    // remove buttons. Does nothing without a node.
    void ShowSubtreeLinks(TNode* node);
    // On showing: one row per link of the scanner's Links, in order.
    void Refill();
    // "&Add...": asks for a file and adds it unless a link has exactly that
    // PathName. True when a link was added.
    bool AddExecute();
    bool AddFile(const std::string& path);
    // "&Remove": deletes the link whose PathName equals fullPath ignoring
    // ASCII case, and its row. True when one was deleted.
    bool RemoveFile(const std::string& fullPath);
    // A double-click on a row.
    void OpenRow(const TLinkedFileRow& row);

private:
    TDocumentScanner& m_scanner;
    TLinkedFilesWindow& m_window;
};

} // namespace pavilo
