#include "web/NodeHandles.h"

#include "model/Node.h"
#include "web/ScriptValue.h"

namespace pavilo {

TNodeHandles::TNodeHandles() = default;
TNodeHandles::~TNodeHandles() = default;

TNodeHandles& TNodeHandles::Instance()
{
    static TNodeHandles table;
    return table;
}

int32_t TNodeHandles::HandleOf(TNode* node)
{
    if (!node)
        return 0;
    auto it = m_byNode.find(node);
    if (it != m_byNode.end()) {
        TEntry& entry = m_entries[static_cast<size_t>(it->second - 1)];
        if (entry.Link && entry.Link->GetNode() == node)
            return it->second;
        // The node behind this address was destroyed; this is another one.
        entry.Link.reset();
        m_byNode.erase(it);
    }
    TEntry entry;
    // A window-kind link does not let go when the subtree leaves the tree.
    entry.Link = std::make_unique<TNodeLink>(TLinkOwnerKind::lokWindow, this);
    entry.Link->SetTarget(&node->NodeLink());
    entry.Node = node;
    m_entries.push_back(std::move(entry));
    const auto handle = static_cast<int32_t>(m_entries.size());
    m_byNode[node] = handle;
    return handle;
}

TNode* TNodeHandles::NodeOf(int32_t handle) const
{
    if (handle <= 0 || static_cast<size_t>(handle) > m_entries.size())
        return nullptr;
    const TEntry& entry = m_entries[static_cast<size_t>(handle - 1)];
    return entry.Link ? entry.Link->GetNode() : nullptr;
}

TNode* TNodeHandles::LiveNodeOf(int32_t handle) const
{
    TNode* node = NodeOf(handle);
    if (!node)
        throw EScriptError("The node no longer exists");
    return node;
}

} // namespace pavilo
