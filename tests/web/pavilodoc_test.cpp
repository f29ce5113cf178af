// pavilo-doc compose and show-order, checked by running the command.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "model/LinkResolver.h"
#include "model/stream/StrmPers.h"
#include "web/PvpMon.h"
#include "support/RunCommand.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

// Standard error is not part of what these commands are checked for.
pavilo::testing::TCommandRun run(const std::string& command)
{
    return pavilo::testing::RunCommand(command + " 2>/dev/null");
}

class PaviloDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("pavilo-doc-web-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        show = std::make_unique<TExampleShow>();
        show->A->Source().SetText(std::string_view("<html>\n<body>A</body>\n"));
        show->A->SetCSSFileName("look.css");
        ASSERT_TRUE(SaveDocument((dir / "Tour.pvp").string(), show->File.get()));
        // What the editor would compose for the document at its place.
        show->File->SetFileName((dir / "Tour.pvp").string());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    std::unique_ptr<TExampleShow> show;
};

} // namespace

TEST_F(PaviloDocTest, ComposePrintsThePageBuffer)
{
    const std::string doc = PAVILO_DOC;
    std::string expected = ComposedPage(show->A, PageBase(show->A));
    const std::string programDir = std::filesystem::path(doc).parent_path().string() + "/";
    expected.replace(expected.find(ProgramDirectory()), ProgramDirectory().size(), programDir);

    auto r = run("cd '" + dir.string() + "' && '" + doc + "' compose Tour.pvp 1");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, expected);
    EXPECT_NE(r.Out.find("<LINK href=\"" + dir.string() + "/look.css\""), std::string::npos);

    r = run("'" + doc + "' compose '" + (dir / "Tour.pvp").string() + "' 12345");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, kBlackPage);
    EXPECT_EQ(run("'" + doc + "' compose '" + (dir / "Tour.pvp").string() + "' 1x").Status, 2);
    EXPECT_EQ(run("'" + doc + "' compose '" + (dir / "missing.pvp").string() + "' 1").Status, 1);
}

TEST_F(PaviloDocTest, ShowOrderListsEveryContentNode)
{
    const auto r = run(std::string("'") + PAVILO_DOC + "' show-order '" + (dir / "Tour.pvp").string() + "'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "1\tA\t2\t-\t1\n"
                     "2\tA1\t3\t1\t1\n"
                     "3\tA2\t4\t2\t1\n"
                     "4\tB\t7\t3\t1\n"
                     "5\tB1\t4\t4\t1\n"
                     "6\tB2\t4\t4\t1\n"
                     "7\tC\t-\t4\t1\n");
}
