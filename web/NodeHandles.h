#pragma once
// The per-run table of node handles given to page scripts.
//
// A script never holds a node: it holds a handle, and the table follows the
// node through a link of its own. The link stays with a node that leaves the
// tree (it may come back by undo) and lets go when the node is destroyed;
// from then on the handle answers with an error. One node keeps one handle
// while it lives. User-interface thread only.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace pavilo {

class TNode;
class TNodeLink;

class TNodeHandles {
public:
    TNodeHandles();
    ~TNodeHandles();
    TNodeHandles(const TNodeHandles&) = delete;
    TNodeHandles& operator=(const TNodeHandles&) = delete;

    // The handle of a node (never 0); 0 for none.
    int32_t HandleOf(TNode* node);
    // The node of a handle; none when it never existed or is destroyed.
    TNode* NodeOf(int32_t handle) const;
    // Like NodeOf, but raises EScriptError when the node is gone.
    TNode* LiveNodeOf(int32_t handle) const;

    // The table of this run.
    static TNodeHandles& Instance();

private:
    struct TEntry {
        std::unique_ptr<TNodeLink> Link;
        TNode* Node = nullptr; // the key in m_byNode, never dereferenced
    };
    std::vector<TEntry> m_entries; // handle h is m_entries[h - 1]
    std::unordered_map<TNode*, int32_t> m_byNode;
};

} // namespace pavilo
