#include "web/ShowOrder.h"

#include "model/PVPObjModel.h"

namespace pavilo {

namespace {

bool isContent(const TNode* n)
{
    return n && n->InheritsFrom(TNodeClass::ncPVNode);
}

bool isRoot(const TNode* n)
{
    return n && n->ClassId() == TNodeClass::ncRootNode;
}

bool hasMenu(const TNode* n)
{
    return isContent(n) && static_cast<const TPVNode*>(n)->HasMenu();
}

} // namespace

TNode* NextInShow(TNode* n)
{
    if (!isContent(n))
        return nullptr;
    if (!hasMenu(n) && n->HasChildren())
        return n->FirstChild();
    if (!isRoot(n->Parent()))
        return NextAfter(n);
    return n->NextSibling();
}

TNode* NextAfter(TNode* n)
{
    // Climbs instead of recursing, so a deep tree cannot exhaust the stack.
    while (n) {
        TNode* p = n->Parent();
        if (!p || isRoot(p))
            return nullptr;
        if (hasMenu(p))
            return p;
        if (TNode* next = n->NextSibling())
            return next;
        TNode* grand = p->Parent();
        if (!grand || isRoot(grand))
            return p->NextSibling();
        n = p;
    }
    return nullptr;
}

TNode* PrevInShow(TNode* n)
{
    if (!isContent(n))
        return nullptr;
    TNode* parent = n->Parent();
    if (parent && !isRoot(parent) && hasMenu(parent))
        return parent;
    TNode* q = n->PrevNode();
    if (TNode* r = OutermostMenu(q, parent))
        return r;
    return isRoot(q) ? nullptr : q;
}

TNode* OutermostMenu(TNode* q, TNode* stop)
{
    TNode* found = nullptr;
    for (TNode* v = q; v && v != stop && !isRoot(v); v = v->Parent())
        if (hasMenu(v))
            found = v;
    return found;
}

TNode* FirstInShow(TNode* n)
{
    for (TNode* v = n; v; v = v->Parent())
        if (isRoot(v))
            return v->FirstChild();
    return nullptr;
}

} // namespace pavilo
