#include "tools/InstallPackage2.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "model/LinkResolver.h"
#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "support/TempDir.h"
#include "tools/Cabinet.h"
#include "tools/InstallFolder.h"
#include "tools/LinkRewriter.h"
#include "tools/PackageInfo.h"
#include "tools/ScanDoc.h"
#include "support/TestDocument.h"
#include "support/RunCommand.h"

using namespace pavilo;
namespace fs = std::filesystem;

namespace {

using pavilo::testing::TTempDir;
using TDocument = pavilo::testing::TTestDocument;
using pavilo::testing::RunCommand;

void writeFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// What the progress window would show, with the user's answers given in advance.
class TScriptedView : public TInstallPackageView {
public:
    std::deque<std::optional<std::string>> PackageAnswers;
    std::deque<std::optional<std::string>> FolderAnswers;
    bool ReplaceAnswer = false;

    std::vector<std::string> Errors, Questions, Captions, Statuses, FolderTitles, PackageTitles;
    TPackageDetails Details;
    std::optional<bool> ShownWithDetails;
    bool Closed = false;

    std::optional<std::string> SelectPackageFile(const std::string& title, const std::string& filter,
                                                 const std::string& defaultExt) override
    {
        PackageTitles.push_back(title + "|" + filter + "|" + defaultExt);
        if (PackageAnswers.empty())
            return std::nullopt;
        auto a = PackageAnswers.front();
        PackageAnswers.pop_front();
        return a;
    }
    std::optional<std::string> SelectFolder(const std::string& title) override
    {
        FolderTitles.push_back(title);
        if (FolderAnswers.empty())
            return std::nullopt;
        auto a = FolderAnswers.front();
        FolderAnswers.pop_front();
        return a;
    }
    bool AskYesNo(const std::string& question) override
    {
        Questions.push_back(question);
        return ReplaceAnswer;
    }
    void ShowError(const std::string& message) override { Errors.push_back(message); }
    void SetCaption(const std::string& text) override { Captions.push_back(text); }
    void SetStatus(const std::string& text) override { Statuses.push_back(text); }
    void SetDetails(const TPackageDetails& details) override { Details = details; }
    void ShowProgress(bool details) override { ShownWithDetails = details; }
    void CloseProgress() override { Closed = true; }
};

// A package built the way a package writer does: files in a staging folder,
// packed with gcab.
class TPackage {
public:
    explicit TPackage(std::string name = "demo") : m_name(std::move(name)) {}

    std::string Name() const { return m_name; }
    std::string Staging() const { return m_dir / "staging"; }
    void AddFile(const std::string& relative, const std::string& bytes)
    {
        writeFile(Staging() + "/" + relative, bytes);
        m_members.push_back(relative);
    }
    void AddInfo(const std::string& text) { AddFile(m_name + ".inf", text); }
    void AddDocument(TDocument& doc, const std::string& fileName = "demo.pvp")
    {
        fs::create_directories(Staging());
        doc.Save(Staging() + "/" + fileName);
        m_members.push_back(fileName);
    }
    // Packs the members; returns the cabinet's path.
    std::string Build(bool compress = false)
    {
        std::string cab = m_dir / (m_name + ".cab");
        std::string command = "cd '" + Staging() + "' && gcab -c " + (compress ? "-z " : "") + "'" + cab + "'";
        for (const std::string& m : m_members)
            command += " '" + m + "'";
        command += " > /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return cab;
    }

private:
    std::string m_name;
    TTempDir m_dir;
    std::vector<std::string> m_members;
};

std::string info(const std::string& import, const std::string& links, const std::string& information = "")
{
    return "[Information]\r\nPackageName=Demo\r\n" + information + "\r\n[Import]\r\n" + import +
           "\r\nPaviloFile=demo.pvp\r\n\r\n[Links]\r\n" + links;
}

std::string type3(const std::string& folder)
{
    return "ImportType=3\r\nImportLocation=" + folder;
}

// The source text of the n-th page (post-order) of an installed document.
std::string pageSource(const std::string& document, int n = 0)
{
    std::unique_ptr<TNode> top = LoadDocument(document);
    std::vector<TPageNode*> pages;
    top->ForEachNode([&](TNode* node) {
        if (node->InheritsFrom(TNodeClass::ncPageNode))
            pages.push_back(static_cast<TPageNode*>(node));
    });
    return n < static_cast<int>(pages.size()) ? pages[static_cast<size_t>(n)]->Source().Text() : std::string("?");
}

class InstallPackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        m_savedTmp = tmp ? std::optional<std::string>(tmp) : std::nullopt;
        ::setenv("TMPDIR", m_tmp.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_savedTmp)
            ::setenv("TMPDIR", m_savedTmp->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    bool Install(const std::string& cab)
    {
        m_installer.SetPackageFile(cab);
        return m_installer.InstallPackage();
    }
    // The private temporary folder is gone after every install.
    bool TempIsEmpty() const
    {
        for (const auto& entry : fs::directory_iterator(m_tmp.Path()))
            if (entry.path().filename().string().rfind("pvp", 0) == 0)
                return false;
        return true;
    }

    TTempDir m_tmp;
    TTempDir m_out;
    TScriptedView m_view;
    TPackageInstaller m_installer{m_view};
    std::optional<std::string> m_savedTmp;
};

TEST_F(InstallPackageTest, InstallsRewritesTwoReferencesInOnePageAndCleansUp)
{
    TPackage pkg;
    TDocument doc;
    doc.AddPage("<html><img src=\"a.gif\"> and <a href=b.htm>b</a></html>");
    pkg.AddDocument(doc);
    pkg.AddFile("pics/a.gif", "GIF89a");
    pkg.AddFile("b.htm", "<p>b</p>");
    pkg.AddFile("readme.txt", "Welcome to the tour.");
    const std::string dest = m_out / "deep/er/tour";
    pkg.AddInfo(info(type3(dest), "L1=0?a.gif?pics\\a.gif\r\nL2=0?b.htm?pages/b.htm\r\n",
                     "Publisher=Quorvel\r\nBuildDate=2026-12-01\r\nMessageFile=docs\\readme.txt\r\nDisplay=1"));
    ASSERT_TRUE(Install(pkg.Build(true)));

    EXPECT_TRUE(m_view.Errors.empty());
    EXPECT_EQ(m_installer.PaviloFile(), dest + "/demo.pvp");
    EXPECT_EQ(m_installer.ImportLocation(), dest + "/");
    EXPECT_EQ(pageSource(m_installer.PaviloFile()),
              "<html><img src=\"" + dest + "/pics/a.gif\"> and <a href=" + dest + "/pages/b.htm>b</a></html>\r\n");
    EXPECT_EQ(m_installer.LinksRewritten(), 2);
    EXPECT_EQ(readFile(dest + "/pics/a.gif"), "GIF89a");
    EXPECT_TRUE(fs::exists(dest + "/readme.txt"));
    EXPECT_FALSE(fs::exists(dest + "/demo.inf")) << "the information file is removed after the install";
    EXPECT_TRUE(TempIsEmpty());

    EXPECT_EQ(m_view.Details.PackageName, "Demo");
    EXPECT_EQ(m_view.Details.Publisher, "Quorvel");
    EXPECT_EQ(m_view.Details.BuildDate, "2026-12-01");
    EXPECT_EQ(m_view.Details.Message, "Welcome to the tour.");
    EXPECT_EQ(m_view.ShownWithDetails, std::optional<bool>(true));
    EXPECT_TRUE(m_view.Closed);
    ASSERT_EQ(m_view.Captions.size(), 2u);
    EXPECT_EQ(m_view.Captions[0], "Installing package file demo.cab");
    EXPECT_EQ(m_view.Captions[1], "Installing package file demo.cab to " + dest + "/.");
    const std::vector<std::string> expected = {"Status:",     "Status: Extracting files...",
                                               "Status: Ready", "a.gif",
                                               "b.htm",       "Status: Sorting links...",
                                               "Status: Updating links...", "Complete"};
    EXPECT_EQ(m_view.Statuses, expected);
}

TEST_F(InstallPackageTest, PackageWithoutInformationMemberIsRefused)
{
    TPackage pkg;
    TDocument doc;
    pkg.AddDocument(doc);
    pkg.AddFile("other.inf", "[Import]\r\nImportType=3\r\n");
    EXPECT_FALSE(Install(pkg.Build()));
    EXPECT_EQ(m_view.Errors, std::vector<std::string>{"File demo.cab does not appear to be a Pavilo package file."});
    EXPECT_FALSE(m_view.ShownWithDetails.has_value());
    EXPECT_TRUE(TempIsEmpty());
    EXPECT_EQ(std::string(ipInstallFailed), "Install package failed.");
}

TEST_F(InstallPackageTest, DamagedCabinetsEndCleanly)
{
    // The information file comes first, so that damage behind it is met
    // only when every member is extracted; the picture spans several blocks.
    TPackage pkg;
    TTempDir dest;
    pkg.AddInfo(info(type3(dest.Path()), "L1=0?a.gif?a.gif"));
    TDocument doc;
    doc.AddPage("<img src=a.gif>");
    pkg.AddDocument(doc);
    std::string noise(200000, '\0');
    uint32_t seed = 12345;
    for (char& c : noise)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    pkg.AddFile("a.gif", noise);
    const std::string good = readFile(pkg.Build(true));
    ASSERT_GT(good.size(), 200000u);

    const std::string notAPackage = "File demo.cab does not appear to be a Pavilo package file.";
    std::string tailDamaged = good;
    for (size_t i = good.size() - 100; i < good.size(); ++i)
        tailDamaged[i] = static_cast<char>(tailDamaged[i] ^ 0x5A);
    std::string headDamaged = good;
    for (size_t i = 200; i < 260; ++i)
        headDamaged[i] = static_cast<char>(headDamaged[i] ^ 0x5A);
    std::string hugeCount = good;
    hugeCount[28] = '\xFF'; // number of members
    hugeCount[29] = '\xFF';
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string Error;
    };
    const std::vector<TCase> cases = {
        {"empty", "", notAPackage},
        {"not a cabinet", std::string(4096, 'x'), notAPackage},
        {"header only", good.substr(0, 36), notAPackage},
        {"member count beyond the file", hugeCount, notAPackage},
        {"damaged first block", headDamaged, notAPackage},
        {"truncated", good.substr(0, good.size() / 2),
         "Unable to extract 'a.gif' from package file demo.cab. The file cannot be read."},
        {"damaged last block", tailDamaged,
         "Unable to extract 'a.gif' from package file demo.cab. A checksum does not match."},
    };
    for (const TCase& c : cases) {
        TTempDir dir;
        writeFile(dir / "demo.cab", c.Bytes);
        TScriptedView view;
        TPackageInstaller installer(view);
        installer.SetPackageFile(dir / "demo.cab");
        view.ReplaceAnswer = true;
        EXPECT_FALSE(installer.InstallPackage()) << c.Name;
        EXPECT_EQ(view.Errors, std::vector<std::string>{c.Error}) << c.Name;
        EXPECT_FALSE(fs::exists(dest / "a.gif")) << c.Name << ": no partial member";
        for (const auto& entry : fs::directory_iterator(dest.Path()))
            EXPECT_EQ(entry.path().filename().string().rfind(".~pv", 0), std::string::npos) << c.Name;
    }
    EXPECT_TRUE(TempIsEmpty());
}

// Every byte of a small cabinet's header, folder and file records and first
// data block, changed in turn: reading and extracting ends in success or an
// ECabinetError, and nothing lands beside the folder.
TEST_F(InstallPackageTest, MutatedCabinetsNeverEscapeOrCrash)
{
    TPackage pkg;
    pkg.AddInfo(info(type3(m_out.Path()), ""));
    pkg.AddFile("pics/a.gif", "GIF89a-GIF89a-GIF89a");
    pkg.AddFile("b.htm", "<p>b</p>");
    const std::string good = readFile(pkg.Build(true));
    TTempDir box;
    const size_t limit = std::min<size_t>(good.size(), 400);
    for (size_t at = 0; at < limit; ++at) {
        for (unsigned char value : {0x00, 0x2E, 0x5C, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(value);
            writeFile(box / "m.cab", bytes);
            fs::create_directories(box / "in");
            try {
                TCabinet cab(box / "m.cab");
                TInstallFolder folder(box / "in");
                cab.ExtractAll(folder);
            } catch (const Exception&) {
            }
            for (const auto& entry : fs::directory_iterator(box.Path()))
                EXPECT_TRUE(entry.path().filename() == "m.cab" || entry.path().filename() == "in")
                    << "byte " << at << ": " << entry.path();
            fs::remove_all(box / "in");
        }
    }
}

TEST_F(InstallPackageTest, NoPackageChosen)
{
    EXPECT_FALSE(Install(m_out / "missing.cab"));
    EXPECT_EQ(m_view.PackageTitles, std::vector<std::string>{"Select Pavilo package file|Cabinet files (*.cab)|*.cab|*.cab"});
    EXPECT_EQ(m_view.Errors, std::vector<std::string>{"No package file to install"});
}

TEST_F(InstallPackageTest, ChosenPackageIsInstalled)
{
    TPackage pkg;
    TDocument doc;
    pkg.AddDocument(doc);
    pkg.AddInfo(info(type3(m_out.Path()), ""));
    m_view.PackageAnswers = {m_out / "still-missing.cab", pkg.Build()};
    EXPECT_TRUE(Install(""));
    EXPECT_EQ(m_view.PackageTitles.size(), 2u);
    EXPECT_EQ(m_installer.PackageFile(), pkg.Build());
    EXPECT_TRUE(fs::is_regular_file(m_out / "demo.pvp"));
    EXPECT_EQ(m_view.ShownWithDetails, std::optional<bool>(false));
}

TEST_F(InstallPackageTest, ImportTypeChoosesTheFolder)
{
    TPackage pkg;
    TDocument doc;
    pkg.AddDocument(doc);

    // 2: always asked, even when a previous folder is known.
    pkg.AddInfo(info("ImportType=2\r\nImportLocation=" + m_out.Path(), ""));
    std::string cab = pkg.Build();
    TTempDir chosen;
    m_installer.SetImportLocation(m_out.Path());
    m_view.FolderAnswers = {chosen / "not-there", chosen.Path()};
    ASSERT_TRUE(Install(cab));
    EXPECT_EQ(m_view.FolderTitles, (std::vector<std::string>{"Select install location", "Select install location"}));
    EXPECT_EQ(m_installer.PaviloFile(), chosen / "demo.pvp");

    // Cancelling the folder browser.
    m_view.FolderTitles.clear();
    EXPECT_FALSE(Install(cab));
    EXPECT_EQ(m_view.Errors, std::vector<std::string>{"No install location selected."});

    // Any other type keeps the folder of the previous install.
    TPackage other("other");
    TDocument doc2;
    other.AddDocument(doc2);
    other.AddInfo(info("ImportType=0x7", ""));
    m_installer.SetImportLocation(chosen.Path());
    m_view.Errors.clear();
    m_view.ReplaceAnswer = true;
    ASSERT_TRUE(Install(other.Build()));
    EXPECT_TRUE(m_view.Errors.empty());
    EXPECT_EQ(m_installer.PaviloFile(), chosen / "demo.pvp");
    EXPECT_EQ(m_view.FolderTitles.size(), 1u) << "only the cancelled question";
}

TEST_F(InstallPackageTest, ImportTypeOneIsTheProgramFolder)
{
    TPackage pkg("typeone");
    TDocument doc;
    pkg.AddDocument(doc, "pavilo-install-test-typeone.pvp");
    pkg.AddInfo("[Import]\r\nImportType=1\r\nPaviloFile=sub\\pavilo-install-test-typeone.pvp\r\n");
    const std::string expected = ProgramDirectory() + "pavilo-install-test-typeone.pvp";
    fs::remove(expected);
    ASSERT_TRUE(Install(pkg.Build()));
    EXPECT_EQ(m_installer.PaviloFile(), expected);
    EXPECT_TRUE(fs::is_regular_file(expected));
    EXPECT_FALSE(fs::exists(ProgramDirectory() + "typeone.inf"));
    fs::remove(expected);
}

TEST_F(InstallPackageTest, DocumentNameIsMatchedIgnoringCase)
{
    TPackage pkg;
    TDocument doc;
    pkg.AddDocument(doc, "Tour.PVP");
    pkg.AddInfo("[Import]\r\nImportType=3\r\nImportLocation=" + m_out.Path() + "\r\nPaviloFile=tour.pvp\r\n");
    ASSERT_TRUE(Install(pkg.Build()));
    EXPECT_EQ(m_installer.PaviloFile(), m_out / "Tour.PVP");
}

TEST_F(InstallPackageTest, ImportTypeThreeWithoutLocationRaises)
{
    TPackage pkg;
    TDocument doc;
    pkg.AddDocument(doc);
    pkg.AddInfo(info("ImportType=3\r\nImportLocation=", ""));
    std::string cab = pkg.Build();
    try {
        Install(cab);
        FAIL() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to create directory");
    }
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(InstallPackageTest, ExistingDocumentIsReplacedOnlyWhenConfirmed)
{
    TPackage pkg;
    TDocument doc;
    doc.AddPage("<img src=a.gif>");
    pkg.AddDocument(doc);
    pkg.AddInfo(info(type3(m_out.Path()), "L1=0?a.gif?a.gif"));
    const std::string cab = pkg.Build();
    writeFile(m_out / "demo.pvp", "mine");

    m_view.ReplaceAnswer = false;
    EXPECT_FALSE(Install(cab));
    EXPECT_EQ(m_view.Questions, std::vector<std::string>{"File 'demo.pvp' already exists.\nDo you want to replace it?"});
    EXPECT_TRUE(m_view.Errors.empty()) << "the question was the message";
    EXPECT_EQ(readFile(m_out / "demo.pvp"), "mine");

    m_view.ReplaceAnswer = true;
    EXPECT_TRUE(Install(cab));
    EXPECT_EQ(pageSource(m_out / "demo.pvp"), "<img src=" + m_out.Path() + "/a.gif>\r\n");
}

TEST_F(InstallPackageTest, LinksLinesMatchReferencesInScanOrder)
{
    // Post-order: the child page's references come before its parent's.
    struct TCase {
        const char* Name;
        std::string Links;
        std::string Parent; // expected sources, with "@" for the install folder
        std::string Child;
    };
    const std::vector<TCase> cases = {
        {"all", "L1=0?c.gif?c.gif\r\nL2=0?p1.gif?p1.gif\r\nL3=0?p2.gif?p2.gif\r\n", "<img src=@p1.gif><img src=@p2.gif>",
         "<img src=@c.gif>"},
        {"fewer lines", "L1=0?c.gif?c.gif\r\nL2=0?p1.gif?p1.gif\r\n", "<img src=@p1.gif><img src=p2.gif>",
         "<img src=@c.gif>"},
        {"more lines", "L1=0?c.gif?c.gif\r\nL2=1?p1.gif?p1.gif\r\nL3=0?p2.gif?p2.gif\r\nL4=0?x.gif?x.gif\r\n",
         "<img src=p1.gif><img src=@p2.gif>", "<img src=@c.gif>"},
        {"flag 1 and other case", "L1=1?c.gif?c.gif\r\nL2=0?P1.gif?p1.gif\r\nL3=0?p2.gif?pics/p2.gif\r\n",
         "<img src=p1.gif><img src=@pics/p2.gif>", "<img src=c.gif>"},
        {"repeated key and empty value", "L1=0?c.gif?c.gif\r\nl1=0?p1.gif?p1.gif\r\nL2=\r\nL3=0?p1.gif?p1.gif\r\n",
         "<img src=@p1.gif><img src=p2.gif>", "<img src=@c.gif>"},
        {"flag not a number", "L1=zero?c.gif?c.gif\r\nL2=0?p1.gif?p1.gif\r\nL3=?p2.gif?p2.gif\r\n",
         "<img src=@p1.gif><img src=p2.gif>", "<img src=c.gif>"},
        {"no Links section", "", "<img src=p1.gif><img src=p2.gif>", "<img src=c.gif>"},
    };
    for (const TCase& c : cases) {
        TPackage pkg;
        TDocument doc;
        TPageNode* parent = doc.AddPage("<img src=p1.gif><img src=p2.gif>");
        doc.AddPage("<img src=c.gif>", parent);
        pkg.AddDocument(doc);
        TTempDir dest;
        pkg.AddInfo(info(type3(dest.Path()), c.Links));
        TScriptedView view;
        TPackageInstaller installer(view);
        installer.SetPackageFile(pkg.Build());
        ASSERT_TRUE(installer.InstallPackage()) << c.Name;
        auto expand = [&](std::string s) {
            for (size_t p; (p = s.find('@')) != std::string::npos;)
                s.replace(p, 1, dest.Path() + "/");
            return s + "\r\n";
        };
        EXPECT_EQ(pageSource(installer.PaviloFile(), 0), expand(c.Child)) << c.Name;
        EXPECT_EQ(pageSource(installer.PaviloFile(), 1), expand(c.Parent)) << c.Name;
    }
}

TEST_F(InstallPackageTest, StyleSheetAndAddressesAreRewritten)
{
    TPackage pkg;
    TDocument doc;
    TPageNode* page = doc.AddPage("<body background=bg.gif>");
    page->SetCSSFileName("site.css");
    auto* url = doc.Add<TURLNode>();
    url->SetUrl("guide.htm");
    pkg.AddDocument(doc);
    pkg.AddFile("site.css", "p { background: url(in-sheet.gif) }");
    pkg.AddInfo(info(type3(m_out.Path()),
                     "L1=0?bg.gif?bg.gif\r\nL2=0?site.css?css/site.css\r\nL3=0?in-sheet.gif?x.gif\r\n"
                     "L4=0?guide.htm?guide.htm\r\n"));
    ASSERT_TRUE(Install(pkg.Build()));
    std::unique_ptr<TNode> top = LoadDocument(m_installer.PaviloFile());
    auto* root = top->Items(0);
    auto* p = static_cast<TPageNode*>(root->Items(0));
    auto* u = static_cast<TURLNode*>(root->Items(1));
    EXPECT_EQ(p->Source().Text(), "<body background=" + m_out.Path() + "/bg.gif>\r\n");
    EXPECT_EQ(p->CSSFileName(), m_out.Path() + "/css/site.css");
    EXPECT_EQ(u->Url(), m_out.Path() + "/guide.htm");
    EXPECT_EQ(readFile(m_out / "site.css"), "p { background: url(in-sheet.gif) }") << "style sheets stay as shipped";
}

// Rewrites a cabinet member name in place: cabinets keep names as plain
// bytes without a checksum, so one of equal length can be swapped in.
std::string patchMemberName(const std::string& cab, const std::string& from, const std::string& to)
{
    std::string bytes = readFile(cab);
    size_t at = bytes.find(from + std::string(1, '\0'));
    EXPECT_NE(at, std::string::npos);
    EXPECT_EQ(from.size(), to.size());
    if (at != std::string::npos)
        bytes.replace(at, from.size(), to);
    return bytes;
}

TEST_F(InstallPackageTest, HostileMemberNamesAreRefusedBeforeAnythingIsWritten)
{
    const std::vector<std::string> hostile = {"../evil.txt", "..\\evil.txt", "/tmp/ev.txt", "a\\..\\..\\ev.t",
                                              "C:\\evil.txt"};
    for (const std::string& name : hostile) {
        TPackage pkg;
        TDocument doc;
        pkg.AddDocument(doc);
        const std::string placeholder = std::string(name.size() - 4, 'z') + ".txt";
        pkg.AddFile(placeholder, "payload");
        TTempDir dest;
        fs::create_directories(dest / "in");
        pkg.AddInfo(info(type3(dest / "in"), ""));
        const std::string cab = pkg.Build();
        writeFile(cab, patchMemberName(cab, placeholder, name));
        ASSERT_NE(readFile(cab).find(name), std::string::npos);

        const bool tmpExisted = fs::exists("/tmp/ev.txt");
        TScriptedView view;
        TPackageInstaller installer(view);
        installer.SetPackageFile(cab);
        EXPECT_FALSE(installer.InstallPackage()) << name;
        ASSERT_EQ(view.Errors.size(), 1u) << name;
        EXPECT_EQ(view.Errors[0], "Package file demo.cab holds the file '" + name +
                                      "', whose name leads outside the install folder. Nothing was installed.");
        EXPECT_FALSE(fs::exists(dest / "evil.txt"));
        EXPECT_FALSE(fs::exists(dest / "ev.txt"));
        EXPECT_FALSE(fs::exists(dest / "in/demo.pvp")) << "nothing extracted";
        if (!tmpExisted) {
            EXPECT_FALSE(fs::exists("/tmp/ev.txt"));
        }
    }
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(InstallPackageTest, PlantedSymbolicLinksAreNeverWrittenThrough)
{
    TTempDir outside;
    writeFile(outside / "victim.gif", "precious");
    fs::create_directories(outside / "dir");
    fs::create_symlink(outside / "victim.gif", m_out / "a.gif");
    fs::create_symlink(outside / "victim.gif", m_out / "demo.pvp");

    TPackage pkg;
    TDocument doc;
    doc.AddPage("<img src=a.gif>");
    pkg.AddDocument(doc);
    pkg.AddFile("a.gif", "GIF89a");
    pkg.AddInfo(info(type3(m_out.Path()), "L1=0?a.gif?a.gif"));
    m_view.ReplaceAnswer = true;
    ASSERT_TRUE(Install(pkg.Build()));
    EXPECT_EQ(readFile(outside / "victim.gif"), "precious");
    EXPECT_FALSE(fs::is_symlink(m_out / "a.gif"));
    EXPECT_FALSE(fs::is_symlink(m_out / "demo.pvp"));
    EXPECT_EQ(readFile(m_out / "a.gif"), "GIF89a");

    // A folder replaced by a link is never entered.
    TTempDir dest;
    fs::create_directory_symlink(outside / "dir", dest / "pics");
    TPackage sub;
    TDocument doc2;
    sub.AddDocument(doc2);
    sub.AddFile("pics/b.gif", "GIF89a");
    sub.AddInfo(info(type3(dest.Path()), ""));
    TScriptedView view;
    TPackageInstaller installer(view);
    installer.SetPackageFile(sub.Build());
    EXPECT_FALSE(installer.InstallPackage());
    ASSERT_EQ(view.Errors.size(), 1u);
    EXPECT_EQ(view.Errors[0], "Unable to write file 'pics/b.gif': 'pics' is not a folder inside the install folder.");
    EXPECT_TRUE(fs::is_empty(outside / "dir"));
}

TEST_F(InstallPackageTest, LinkLeadingOutsideTheFolderIsRefused)
{
    TPackage pkg;
    TDocument doc;
    doc.AddPage("<img src=a.gif>");
    pkg.AddDocument(doc);
    pkg.AddInfo(info(type3(m_out.Path()), "L1=0?a.gif?..\\..\\etc\\passwd"));
    EXPECT_FALSE(Install(pkg.Build()));
    EXPECT_EQ(m_view.Errors, std::vector<std::string>{"The package link 'L1=0?a.gif?..\\..\\etc\\passwd' does not lead "
                                                      "to a file inside the install folder."});
    EXPECT_EQ(pageSource(m_out / "demo.pvp"), "<img src=a.gif>\r\n") << "the document is not saved";
    EXPECT_TRUE(m_installer.PaviloFile().empty());
}

TEST_F(InstallPackageTest, MissingDocumentReachesTheCallerAsRaised)
{
    TPackage pkg;
    pkg.AddFile("readme.txt", "x");
    pkg.AddInfo(info(type3(m_out.Path()), ""));
    EXPECT_THROW(Install(pkg.Build()), Exception);
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(InstallPackageTest, HugeInformationFileAndPageEndCleanly)
{
    TPackage pkg;
    TDocument doc;
    std::string page = "<img src=first.gif>";
    page.reserve(50u << 20);
    while (page.size() < (50u << 20))
        page += "<p class=x>Lorem ipsum dolor sit amet, consectetur adipiscing elit.</p>\r\n";
    page += "<img src=last.gif>";
    doc.AddPage(page);
    pkg.AddDocument(doc);
    std::string links = "L0=0?first.gif?first.gif\r\nL1=0?last.gif?last.gif\r\n";
    links.reserve(30u << 20);
    for (int i = 2; i < 1000000; ++i)
        links += "L" + std::to_string(i) + "=0?x.gif?x.gif\r\n";
    pkg.AddInfo(info(type3(m_out.Path()), links));
    ASSERT_TRUE(Install(pkg.Build()));
    const std::string source = pageSource(m_installer.PaviloFile());
    EXPECT_EQ(source.substr(0, 9 + m_out.Path().size() + 11), "<img src=" + m_out.Path() + "/first.gif>");
    EXPECT_NE(source.find("<img src=" + m_out.Path() + "/last.gif>"), std::string::npos);
    EXPECT_EQ(m_installer.LinksRewritten(), 2);
}

// --- pavilo-doc install-package ----------------------------------------------

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun runInstallCommand(const std::string& arguments, const std::string& errFile)
{
    std::string command = std::string(PAVILO_DOC) + " install-package " + arguments + " 2>'" + errFile + "'";
    pavilo::testing::TCommandRun done = RunCommand(command);
    TRun run{done.Status, done.Out, readFile(errFile)};
    return run;
}

TEST_F(InstallPackageTest, CommandInstallsIntoTheGivenFolder)
{
    TPackage pkg;
    TDocument doc;
    doc.AddPage("<img src=a.gif>");
    pkg.AddDocument(doc);
    pkg.AddFile("a.gif", "GIF89a");
    pkg.AddInfo(info("ImportType=2", "L1=0?a.gif?a.gif"));
    const std::string cab = pkg.Build();
    const std::string dest = m_out / "made/here";
    const std::string err = m_out / "err.txt";

    TRun first = runInstallCommand("'" + cab + "' --dest '" + dest + "'", err);
    EXPECT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(first.Out, dest + "/demo.pvp\n");
    EXPECT_EQ(pageSource(dest + "/demo.pvp"), "<img src=" + dest + "/a.gif>\r\n");

    TRun again = runInstallCommand("'" + cab + "' --dest '" + dest + "'", err);
    EXPECT_EQ(again.Status, 1);
    EXPECT_EQ(again.Err, "File 'demo.pvp' already exists.\n");
    EXPECT_EQ(runInstallCommand("'" + cab + "' --dest '" + dest + "' --replace", err).Status, 0);

    TRun missing = runInstallCommand("'" + (m_out / "none.cab") + "' --dest '" + dest + "'", err);
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "No package file to install\n");
    EXPECT_EQ(runInstallCommand("'" + cab + "'", err).Status, 2);
}

// --- The information file ------------------------------------------------

TEST(PackageInfoTest, ReadsSettingsWithDefaults)
{
    TPackageInfo defaults = TPackageInfo::FromText("");
    EXPECT_EQ(defaults.ImportType, 2);
    EXPECT_EQ(defaults.Display, 0);
    EXPECT_TRUE(defaults.PaviloFile.empty() && defaults.Links.empty());

    TPackageInfo info = TPackageInfo::FromText("\xEF\xBB\xBF; made by hand\n"
                                               "[information]\n"
                                               "  packagename =  Demo tour  \n"
                                               "PUBLISHER=\"Quorvel\"\n"
                                               "Display=0x1\n"
                                               "MessageFile=\n"
                                               "[Import]\r"
                                               "ImportType=three\r"
                                               "PaviloFile=Tour.pvp\r"
                                               "PaviloFile=Other.pvp\r"
                                               "[INFORMATION]\n"
                                               "BuildDate=today\n");
    EXPECT_EQ(info.PackageName, "Demo tour");
    EXPECT_EQ(info.Publisher, "Quorvel");
    EXPECT_EQ(info.Display, 1);
    EXPECT_EQ(info.ImportType, 2) << "a non-numeric integer gives the default";
    EXPECT_EQ(info.PaviloFile, "Tour.pvp") << "the first of repeated keys";
    EXPECT_EQ(info.BuildDate, "today");
}

TEST(PackageInfoTest, Integers)
{
    struct TCase {
        const char* Text;
        int32_t Expected;
    };
    const TCase cases[] = {{"3", 3},           {" 42 ", 42},          {"0x10", 16},     {"0XfF", 255},
                           {"-5", -5},         {"+7", 7},             {"0xFFFFFFFF", -1}, {"2147483647", 2147483647},
                           {"-2147483648", INT32_MIN}, {"2147483648", 99}, {"0x100000000", 99}, {"", 99},
                           {"0x", 99},         {"12abc", 99},         {"1 2", 99},      {"$10", 99}};
    for (const TCase& c : cases)
        EXPECT_EQ(ParseProfileInteger(c.Text, 99), c.Expected) << c.Text;
}

TEST(PackageInfoTest, LinksKeepKeyOrderAndSkipRepeatsAndEmptyValues)
{
    TPackageInfo info = TPackageInfo::FromText("[Links]\nB=0?b?b\nA=1?a?a\nb=0?again?again\nC=\nD = 0?d?x?y\nnoequals\n");
    EXPECT_EQ(info.Links, (std::vector<std::string>{"B=0?b?b", "A=1?a?a", "D=0?d?x?y"}));

    std::string big = "[Links]\n";
    for (int i = 0; i < 1000000; ++i)
        big += "Link" + std::to_string(i) + "=0?a.gif?a.gif\n";
    EXPECT_EQ(TPackageInfo::FromText(big).Links.size(), 1000000u);
}

// The seeds and findings of the information file fuzzer still read cleanly.
TEST(PackageInfoTest, FuzzCorpusReplays)
{
    int files = 0;
    for (const auto& entry : fs::directory_iterator(PAVILO_INFO_CORPUS)) {
        TPackageInfo info = TPackageInfo::FromText(readFile(entry.path().string()));
        for (const std::string& line : info.Links)
            if (std::optional<TLinkLine> l = ParseLinkLine(line))
                SafeRelativePath(l->New);
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(PackageInfoTest, LinkLines)
{
    std::optional<TLinkLine> l = ParseLinkLine("Link1=0?images/logo.gif?logo.gif?v=2");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->Flag, 0);
    EXPECT_EQ(l->Old, "images/logo.gif");
    EXPECT_EQ(l->New, "logo.gif?v=2");
    for (const char* bad : {"Link1=x?a?b", "Link1=?a?b", "Link1=0?a", "Link1=0", "noequals"})
        EXPECT_FALSE(ParseLinkLine(bad)) << bad;
}

TEST(SafeRelativePathTest, Table)
{
    struct TCase {
        std::string_view Name;
        std::optional<std::string> Expected;
    };
    const TCase cases[] = {
        {"a.gif", "a.gif"},        {"pics\\a.gif", "pics/a.gif"}, {"./pics//a.gif", "pics/a.gif"},
        {"a..b.gif", "a..b.gif"},  {"..", std::nullopt},           {"../a", std::nullopt},
        {"a/../b", std::nullopt},  {"a\\..", std::nullopt},        {"/etc/passwd", std::nullopt},
        {"\\a", std::nullopt},     {"C:\\a", std::nullopt},        {"", std::nullopt},
        {".", std::nullopt},       {"pics/", "pics"},              {"./C:/x", std::nullopt},
        {"C:x.gif", std::nullopt}, {std::string_view("a\0b", 3), std::nullopt},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(SafeRelativePath(c.Name), c.Expected) << c.Name;
}

// --- The rewrite visitor over links recorded by hand ----------------------

TEST(LinkRewriterTest, RewritesOnlyWhereTheTextStillStands)
{
    TDocument doc;
    const std::string source = "<img src=a.gif lowsrc=a.gif><a href=b.htm>";
    TPageNode* page = doc.AddPage(source);
    auto add = [&](const std::string& link, int32_t position) {
        TLinkInfo& l = page->Links().Add();
        l.Link = link;
        l.LinkPosition = position;
        l.LinkLength = static_cast<int32_t>(link.size());
        l.SourceOrigin = std::string(soPageSource);
    };
    add("a.gif", 10);   // right
    add("a.gif", 10);   // the same place again, as a repeated value gives
    add("b.htm", 5);    // stale position
    add("b.htm", 37);   // right
    add("b.htm", 4000); // beyond the text
    add("b.htm", -3);
    const std::vector<std::string> lines = {"1=0?a.gif?A.GIF", "2=0?a.gif?A.GIF", "3=0?b.htm?B.HTM",
                                            "4=0?b.htm?B.HTM", "5=0?b.htm?B.HTM", "6=0?b.htm?B.HTM"};
    TLinkRewriter rewriter(lines, "/i/");
    rewriter.Run(doc.File.get());
    EXPECT_EQ(page->Source().Text(), "<img src=/i/A.GIF lowsrc=a.gif><a href=/i/B.HTM>\r\n");
    EXPECT_EQ(rewriter.Rewritten(), 2);
    EXPECT_EQ(rewriter.Mismatched(), 4);
}

TEST(LinkRewriterTest, ElementSourceAndOriginsOfOtherKinds)
{
    TDocument doc;
    auto* element = doc.Add<TElementNode>();
    element->Source().SetText("<img src=e.gif>");
    TLinkInfo l;
    l.Link = "e.gif";
    l.LinkPosition = 10;
    l.LinkLength = 5;
    l.SourceOrigin = std::string(soElementSource);
    TLinkInfo wrongKind = l; // a page origin on an element
    wrongKind.SourceOrigin = std::string(soPageSource);
    TLinkInfo sheet = l;
    sheet.SourceOrigin = "/some/site.css";
    element->Links().Add() = l;
    element->Links().Add() = wrongKind;
    element->Links().Add() = sheet;
    const std::vector<std::string> lines = {"1=0?e.gif?x.gif", "2=0?e.gif?y.gif", "3=0?e.gif?z.gif"};
    TLinkRewriter rewriter(lines, "/i/");
    rewriter.Run(doc.File.get());
    EXPECT_EQ(element->Source().Text(), "<img src=/i/x.gif>\r\n");
    EXPECT_EQ(rewriter.Rewritten(), 1);
}

} // namespace
