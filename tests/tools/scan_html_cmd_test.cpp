// pavilo-doc scan-html, run as a program.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "support/RunCommand.h"

#ifdef PAVILO_DOC

namespace {

TEST(PaviloDocScanHtml, PrintsEveryEventInOrder)
{
    namespace fs = std::filesystem;
    fs::path file = fs::temp_directory_path() / ("scan_html_" + std::to_string(getpid()) + ".htm");
    {
        std::ofstream out(file, std::ios::binary);
        out << "<!DOCTYPE html>\n<img src=a.gif alt title=' a  b '>caf&eacute; &amp;\n"
               "<script>if (a<b) x();</script><!-- c --><a <b>x<i>";
    }
    // Positions count in the scan text, where every line ends in CR LF.
    const std::string expected =
        "block <!DOCTYPE html>\n"
        "dtd DOCTYPE html\n"
        "block <img src=a.gif alt title=' a  b '>\n"
        "tag img\n"
        "  attr src=a.gif\n"
        "  attr title=a b \n"
        "block caf&eacute; &amp;\n"
        "text caf\\xE9 &\n"
        "block <script>\n"
        "tag script\n"
        "block if (a<b) x();\n"
        "script if (a<b) x();\n"
        "block </script>\n"
        "tag /script\n"
        "block <!-- c -->\n"
        "comment  c \n"
        "error 4 114\n"
        "error 5 116\n"
        "block <i>\n"
        "tag i\n";
    EXPECT_EQ(pavilo::testing::RunCommand(std::string(PAVILO_DOC) + " scan-html '" + file.string() + "'").Out, expected);
    fs::remove(file);
    EXPECT_EQ(pavilo::testing::RunCommand(std::string(PAVILO_DOC) + " scan-html '" + file.string() + "' 2>&1").Out,
              "Cannot open " + file.string() + "\n");
}

} // namespace

#endif
