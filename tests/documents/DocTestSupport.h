#pragma once
// Shared by the document-collection tests: a scratch folder and small
// documents built through the model.

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <stdlib.h>

#include "model/PVPObjModel.h"
#include "support/TempDir.h"

namespace pavilo::testing {

// The documents tests call their scratch folder so.
using TScratchDir = TTempDir;

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::set<std::string> DirEntries(const std::string& dir)
{
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        names.insert(e.path().filename().string());
    return names;
}

// A presentation: file node, root titled rootTitle, and pages holding text.
inline std::unique_ptr<TFileNode> MakePresentation(const std::string& rootTitle, int pages = 2,
                                                   const std::string& pageText = "<p>hello</p>")
{
    auto file = std::make_unique<TFileNode>();
    auto* root = new TRootNode;
    root->SetTitle(rootTitle);
    root->SetParent(file.get());
    for (int i = 0; i < pages; ++i) {
        auto* page = new TPageNode;
        page->SetTitle("Page " + std::to_string(i));
        page->Source().SetText(pageText);
        page->SetParent(root);
    }
    return file;
}

inline TRootNode* RootOf(TNode* file)
{
    return file && file->Count() > 0 ? dynamic_cast<TRootNode*>(file->Items(0)) : nullptr;
}

} // namespace pavilo::testing
