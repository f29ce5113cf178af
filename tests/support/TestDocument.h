#pragma once
// A presentation built in a test: a file node, its root, and the nodes the
// test adds (under the root unless told otherwise).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"

namespace pavilo::testing {

struct TTestDocument {
    std::unique_ptr<TFileNode> File = std::make_unique<TFileNode>();
    TRootNode* Root = new TRootNode;

    explicit TTestDocument(const std::string& fileName = {})
    {
        if (!fileName.empty())
            File->SetFileName(fileName);
        Root->SetParent(File.get());
    }
    template <class T>
    T* Add(TNode* parent = nullptr)
    {
        T* node = new T;
        node->SetParent(parent ? parent : Root);
        return node;
    }
    TPageNode* AddPage(const std::string& source, TNode* parent = nullptr)
    {
        auto* page = Add<TPageNode>(parent);
        page->Source().SetText(source);
        return page;
    }
    void Save(const std::string& path) { ASSERT_TRUE(SaveDocument(path, File.get())); }
};

} // namespace pavilo::testing
