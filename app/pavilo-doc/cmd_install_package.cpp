// pavilo-doc install-package CAB --dest DIR [--replace]: installs a package
// into DIR without asking anyone and prints the installed document's path.

#include <cstdio>
#include <optional>

#include "Command.h"
#include "tools/InstallPackage2.h"

namespace pavilo::doc {

namespace {

// Answers every question of the installer from the command line.
class TCommandLineView : public TInstallPackageView {
public:
    explicit TCommandLineView(bool replace) : m_replace(replace) {}

    std::string Failure; // the first message the installer gave

    std::optional<std::string> SelectPackageFile(const std::string&, const std::string&,
                                                 const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> SelectFolder(const std::string&) override { return std::nullopt; }
    bool AskYesNo(const std::string& question) override
    {
        if (!m_replace && Failure.empty())
            Failure = question.substr(0, question.find('\n')); // "File '...' already exists."
        return m_replace;
    }
    void ShowError(const std::string& message) override
    {
        if (Failure.empty())
            Failure = message;
    }
    void SetCaption(const std::string&) override {}
    void SetStatus(const std::string&) override {}
    void SetDetails(const TPackageDetails&) override {}
    void ShowProgress(bool) override {}
    void CloseProgress() override {}

private:
    bool m_replace;
};

int runInstallPackage(const std::vector<std::string>& args)
{
    std::string cab, dest;
    bool replace = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--replace")
            replace = true;
        else if (args[i] == "--dest" && i + 1 < args.size() && dest.empty())
            dest = args[++i];
        else if (args[i].rfind("--", 0) == 0 || !cab.empty())
            throw TUsageError();
        else
            cab = args[i];
    }
    if (cab.empty() || dest.empty())
        throw TUsageError();

    TCommandLineView view(replace);
    TPackageInstaller installer(view);
    installer.SetFixedInstallFolder(dest);
    installer.SetPackageFile(cab);
    if (!installer.InstallPackage())
        throw Exception(view.Failure.empty() ? std::string(ipInstallFailed) : view.Failure);
    std::printf("%s\n", installer.PaviloFile().c_str());
    return 0;
}

// The command name holds a "-", which the registration macro cannot spell.
const bool registered = RegisterCommand({"install-package", "CAB --dest DIR [--replace]", runInstallPackage});

} // namespace

} // namespace pavilo::doc
