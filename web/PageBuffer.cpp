#include "web/PageBuffer.h"

#include <memory>

#include "model/Node.h"

namespace pavilo {

namespace {

struct TProtocolState {
    TPageBuffer Buffer;
    // Lets go by itself when the node's subtree leaves the tree; the node's
    // destruction retargets it to none.
    TNodeLink Current{TLinkOwnerKind::lokOther, this};
    std::string Base;
};

std::unique_ptr<TProtocolState>& state()
{
    static std::unique_ptr<TProtocolState> s;
    return s;
}

const std::string kEmpty;

} // namespace

void StartDocumentProtocol()
{
    state() = std::make_unique<TProtocolState>();
}

void StopDocumentProtocol()
{
    state().reset();
}

bool DocumentProtocolStarted()
{
    return state() != nullptr;
}

TPageBuffer* PageBuffer()
{
    return state() ? &state()->Buffer : nullptr;
}

TNode* CurrentPageNode()
{
    return state() ? state()->Current.GetNode() : nullptr;
}

const std::string& CurrentBase()
{
    return state() ? state()->Base : kEmpty;
}

TPageBuffer& BeginComposition(TNode* node, std::string base)
{
    if (!state())
        StartDocumentProtocol();
    TProtocolState& s = *state();
    s.Buffer.Bytes.clear();
    s.Buffer.Position = 0;
    s.Current.SetTarget(node ? &node->NodeLink() : nullptr);
    s.Base = std::move(base);
    return s.Buffer;
}

} // namespace pavilo
