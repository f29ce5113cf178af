// pavilo-doc show-order FILE: every content node in pre-order with the
// nodes that next, previous and first give from it.

#include <iostream>

#include "Command.h"
#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "platform/text/TextCodec.h"
#include "web/ShowOrder.h"

namespace pavilo::doc {

namespace {

std::string idOf(const TNode* n)
{
    return n ? std::to_string(n->ID()) : "-";
}

void walk(TNode* n, std::ostream& out)
{
    if (n->InheritsFrom(TNodeClass::ncPVNode)) {
        out << n->ID() << '\t' << text::ToUtf8(static_cast<TPVNode*>(n)->Title()) << '\t' << idOf(NextInShow(n))
            << '\t' << idOf(PrevInShow(n)) << '\t' << idOf(FirstInShow(n)) << '\n';
    }
    for (TNode* child : n->Children())
        walk(child, out);
}

int runShowOrder(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw TUsageError();
    std::unique_ptr<TNode> top = LoadDocument(args[0]);
    walk(top.get(), std::cout);
    return 0;
}

} // namespace

// One tab-separated line per content node: ID, Title, next, previous, first.
// The name has a hyphen, which the registration macro cannot spell.
static const bool registeredShowOrder = RegisterCommand({"show-order", "FILE", runShowOrder});

} // namespace pavilo::doc
