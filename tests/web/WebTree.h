#pragma once
// Small presentations built through the model for the web tests.

#include <memory>
#include <string>

#include "model/PVPObjModel.h"

namespace pavilo::test {

template <class T = TPageNode>
T* addNode(TNode* parent, const std::string& title, int32_t id)
{
    auto* n = new T;
    n->SetTitle(title);
    n->SetID(id);
    n->SetParent(parent);
    return n;
}

// Under the root: A (A1, A2), B with HasMenu (B1, B2), C; ids 1 to 7 in
// that order, the file node 100 and the root 101.
struct TExampleShow {
    std::unique_ptr<TFileNode> File = std::make_unique<TFileNode>();
    TRootNode* Root = nullptr;
    TPageNode *A, *A1, *A2, *B, *B1, *B2, *C;

    explicit TExampleShow(const std::string& fileName = "/docs/Tour.pvp")
    {
        File->SetFileName(fileName);
        File->SetID(100);
        Root = new TRootNode;
        Root->SetID(101);
        Root->SetParent(File.get());
        A = addNode(Root, "A", 1);
        A1 = addNode(A, "A1", 2);
        A2 = addNode(A, "A2", 3);
        B = addNode(Root, "B", 4);
        B->SetHasMenu(true);
        B1 = addNode(B, "B1", 5);
        B2 = addNode(B, "B2", 6);
        C = addNode(Root, "C", 7);
    }
};

} // namespace pavilo::test
