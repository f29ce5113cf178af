#pragma once
// Package installation: a package is a cabinet archive holding a
// presentation or toolbox, the files its pages refer to and an information
// file. Installing extracts everything into one folder, points the
// document's references at the extracted files, saves the document there
// and hands its path back.
//
// The installer is core logic; the progress window implements
// TInstallPackageView and owns one TPackageInstaller for the whole run.
// Nothing is ever written outside the install folder and a private temporary
// folder: member names and link targets that would leave it are refused.

#include <optional>
#include <string>

#include "tools/PackageInfo.h"

namespace pavilo {

// The texts the installer shows.
inline constexpr const char* ipSelectPackageTitle = "Select Pavilo package file";
inline constexpr const char* ipPackageFilter = "Cabinet files (*.cab)|*.cab";
inline constexpr const char* ipPackageDefaultExt = "*.cab";
inline constexpr const char* ipSelectLocationTitle = "Select install location";
inline constexpr const char* ipNoPackage = "No package file to install";
inline constexpr const char* ipNotAPackage = "File %s does not appear to be a Pavilo package file.";
inline constexpr const char* ipCannotCreateDirectory = "Unable to create directory";
inline constexpr const char* ipNoLocation = "No install location selected.";
// Shown by the caller after InstallPackage returned false.
inline constexpr const char* ipInstallFailed = "Install package failed.";

// "File %s does not appear to be a Pavilo package file." for a file name.
std::string NotAPackageMessage(const std::string& packageFileName);
// The question asked before an existing document is replaced (two lines).
std::string ReplaceQuestion(const std::string& documentFileName);

struct TPackageDetails {
    std::string PackageName;
    std::string BuildDate;
    std::string Publisher;
    std::string Message; // the text of the package's message file, or empty
};

// The progress window and its questions. Every call comes from
// InstallPackage, on the calling thread.
class TInstallPackageView {
public:
    virtual ~TInstallPackageView() = default;
    // The file dialog for a package; nothing when cancelled.
    virtual std::optional<std::string> SelectPackageFile(const std::string& title, const std::string& filter,
                                                         const std::string& defaultExt) = 0;
    // The folder browser; nothing when cancelled.
    virtual std::optional<std::string> SelectFolder(const std::string& title) = 0;
    // A warning with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // An error with an OK button.
    virtual void ShowError(const std::string& message) = 0;
    virtual void SetCaption(const std::string& text) = 0; // the top label
    virtual void SetStatus(const std::string& text) = 0;  // the status label
    virtual void SetDetails(const TPackageDetails& details) = 0;
    // Shows the window, not modal, with its details open or collapsed, and
    // lets pending window events run once.
    virtual void ShowProgress(bool details) = 0;
    virtual void CloseProgress() = 0;
};

class TPackageInstaller {
public:
    // The view must outlive the installer.
    explicit TPackageInstaller(TInstallPackageView& view) : m_view(view) {}

    // The install folder: set by each install, kept for the next one.
    const std::string& ImportLocation() const { return m_importLocation; }
    void SetImportLocation(const std::string& folder) { m_importLocation = folder; }
    const std::string& PackageFile() const { return m_packageFile; }
    void SetPackageFile(const std::string& fileName) { m_packageFile = fileName; }
    // The full path of the installed document after a successful install.
    const std::string& PaviloFile() const { return m_paviloFile; }

    // For installs without a user: this folder (created with its parents)
    // replaces the choice of the package's ImportType. Empty: no override.
    const std::string& FixedInstallFolder() const { return m_fixedFolder; }
    void SetFixedInstallFolder(const std::string& folder) { m_fixedFolder = folder; }

    // Installs PackageFile, asking for one if it names no existing file.
    // True on success with PaviloFile set. A failure shows its message
    // through the view and returns false; "Unable to create directory" and
    // the document loader's errors are raised as Exception.
    bool InstallPackage();

    // Figures of the last install's rewrite, for reports.
    int LinksRewritten() const { return m_rewritten; }
    int LinkLinesUnreadable() const { return m_unreadable; }
    int LinksMismatched() const { return m_mismatched; }

private:
    bool install();

    TInstallPackageView& m_view;
    std::string m_importLocation;
    std::string m_packageFile;
    std::string m_paviloFile;
    std::string m_fixedFolder;
    int m_rewritten = 0;
    int m_unreadable = 0;
    int m_mismatched = 0;
};

} // namespace pavilo
