// pavilo-doc compose FILE ID: the bytes ComposePage puts into the page
// buffer for the node with that decimal ID.

#include <cstdio>
#include <unistd.h>

#include "Command.h"
#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "web/PvpMon.h"
#include "web/ScriptValue.h"

namespace pavilo::doc {

namespace {

// The editor holds a document by its full path; relative references
// resolve against that.
std::string absolutePath(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

int runCompose(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        throw TUsageError();
    int32_t id = 0;
    if (!ParseDecimalInteger(args[1], id))
        throw TUsageError();
    std::unique_ptr<TNode> top = LoadDocument(absolutePath(args[0]));
    StartDocumentProtocol();
    ComposePage(top->FindNode(id));
    const std::string& bytes = PageBuffer()->Bytes;
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    StopDocumentProtocol();
    return 0;
}

} // namespace

PAVILO_DOC_COMMAND(compose, "FILE ID", runCompose);

} // namespace pavilo::doc
