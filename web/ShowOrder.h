#pragma once
// The show order: next, previous and first node as a show plays them.
//
// Only content nodes (TPVNode and its kinds) take part. A node with HasMenu
// acts as a menu page: moving forward from it skips its children, which are
// reached only by jumps; moving forward or back from any of them returns to
// it; moving back onto its subtree from a later sibling lands on the menu.
// Without HasMenu anywhere, next and previous walk the content nodes in
// pre-order. None of these functions fails; none means "no such node".

namespace pavilo {

class TNode;

TNode* NextInShow(TNode* n);
// The successor once n's subtree is done.
TNode* NextAfter(TNode* n);
TNode* PrevInShow(TNode* n);
// Walking up from q, stopping before stop, before a root and at none: the
// highest node with HasMenu, or none.
TNode* OutermostMenu(TNode* q, TNode* stop);
// The first child of the nearest root at or above n, or none.
TNode* FirstInShow(TNode* n);

} // namespace pavilo
