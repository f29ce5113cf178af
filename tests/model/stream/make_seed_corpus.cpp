// Writes the seed inputs of the document reader fuzzer into a folder:
// small documents of every format version, made by the fixture writer.
//
//   make_load_document_corpus fuzz/corpus/load_document

#include <cstdio>
#include <fstream>
#include <string>

#include "model/stream/FixtureWriter.h"

using namespace pavilo::fixture;
using K = TFixtureKind;

namespace {

bool put(const std::string& folder, const std::string& name, const std::string& bytes)
{
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

TFixtureNode titled(K kind, const char* title)
{
    TFixtureNode n = FixtureNode(kind);
    n.Title = title;
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (int v = 1; v <= 9; ++v)
        ok &= put(folder, "sample_v" + std::to_string(v) + ".pvp", SampleLikeDocument(v));

    // A version 2 toolbox: a tool node on top with three tool tabs.
    TFixtureNode tool = titled(K::Tool, "Tools");
    for (const char* tab : {"A", "B", "C"}) {
        TFixtureNode root = titled(K::Root, tab);
        root.Children.push_back(titled(K::Element, "e"));
        TFixtureNode wizard = titled(K::ElementWizard, "w");
        wizard.FuncName = "Table";
        root.Children.push_back(wizard);
        tool.Children.push_back(root);
    }
    ok &= put(folder, "toolbox_v2.pvt", FixtureDocument(2, tool, std::nullopt));

    // A version 8 toolbox with two tool tabs.
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    for (int i = 0; i < 2; ++i) {
        TFixtureNode root = titled(K::Root, i ? "Second" : "First");
        root.ID = 2 + i;
        root.DefaultView = 4;
        TFixtureNode element = titled(K::Element, "Table");
        element.ID = 10 + i;
        element.Source = "<table></table>\r\n";
        root.Children.push_back(element);
        file.Children.push_back(root);
    }
    ok &= put(folder, "toolbox_v8.pvt", FixtureDocument(8, file));

    // The smallest presentation.
    ok &= put(folder, "worked_example.pvp", FixtureDocument(8, WorkedExampleFixture()));

    // One node record without signature, as on the clipboard.
    ok &= put(folder, "record_only.bin", FixtureRecord(titled(K::URL, "u"), 8));
    return ok ? 0 : 1;
}
