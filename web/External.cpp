#include "web/External.h"

#include "model/Node.h"
#include "web/ComposePage.h"
#include "web/MonikerName.h"
#include "web/NodeIdFromVariant.h"
#include "web/ShowOrder.h"

namespace pavilo {

namespace {

TNode* topmost(TNode* n)
{
    while (n->Parent())
        n = n->Parent();
    return n;
}

} // namespace

TExternal::TExternal() : m_nodeLink(TLinkOwnerKind::lokWindow, this) {}

TNode* TExternal::NextNode() const
{
    return NextInShow(CurrentNode());
}

TNode* TExternal::PrevNode() const
{
    return PrevInShow(CurrentNode());
}

TNode* TExternal::FirstNode() const
{
    return FirstInShow(CurrentNode());
}

std::string TExternal::Base() const
{
    return RootUrl();
}

TNode* TExternal::requireCurrent() const
{
    TNode* current = CurrentNode();
    if (!current)
        throw EScriptError("There is no current node");
    return current;
}

void TExternal::JumpTo(const TScriptValue& v)
{
    const int32_t id = NodeIdFromVariant(v);
    TNode* current = requireCurrent();
    // The views hear of the marks at once and may change the tree; the
    // search follows the tree's top through a link of its own.
    TNodeLink top(TLinkOwnerKind::lokWindow, this);
    top.SetTarget(&topmost(current)->NodeLink());
    current->SetViewFlags(current->ViewFlags() & static_cast<uint8_t>(~(vfSelected | vfFocused)));
    TNode* tree = top.GetNode();
    if (TNode* target = tree ? tree->FindNode(id) : nullptr)
        target->SetViewFlags(target->ViewFlags() | vfSelected | vfFocused);
}

void TExternal::Href(const TScriptValue& v)
{
    const int32_t id = NodeIdFromVariant(v);
    TNode* current = requireCurrent();
    if (TNode* target = topmost(current)->FindNode(id))
        ComposePage(target);
}

void TExternal::CloseBrowser()
{
    if (OnCloseRequest)
        OnCloseRequest(*this);
}

} // namespace pavilo
