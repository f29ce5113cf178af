// pavilo-doc resolve FILE ID REFERENCE: the reference resolved for the node
// with that decimal ID (0: for no node), then its link status.

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "Command.h"
#include "model/LinkInfo.h"
#include "model/LinkResolver.h"
#include "model/stream/StrmPers.h"

namespace pavilo::doc {

namespace {

int32_t parseId(const std::string& text)
{
    if (text.empty())
        throw TUsageError();
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
        throw TUsageError();
    return static_cast<int32_t>(v);
}

int runResolve(const std::vector<std::string>& args)
{
    if (args.size() != 3)
        throw TUsageError();
    int32_t id = parseId(args[1]);
    std::unique_ptr<TNode> top = LoadDocument(args[0]);
    const TNode* node = nullptr;
    if (id != 0) {
        node = top->FindNode(id);
        if (!node)
            throw Exception("There is no node with ID " + std::to_string(id) + " in " + args[0]);
    }
    TLinkInfo link;
    link.Link = args[2];
    link.PathName = ResolveReference(node, link.Link);
    std::printf("%s\n%d\n", link.PathName.c_str(), link.LinkStatus());
    return 0;
}

const bool registered = RegisterCommand({"resolve", "FILE ID REFERENCE", runResolve});

} // namespace

} // namespace pavilo::doc
