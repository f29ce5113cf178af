// pavilo-doc export-xml IN OUT: the XML export of a document's tree.

#include "Command.h"
#include "model/export/XmlExport.h"
#include "model/stream/StrmPers.h"

namespace pavilo::doc {

namespace {

int runExportXml(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        throw TUsageError();
    std::unique_ptr<TNode> top = LoadDocument(args[0]);
    ExportXml(args[1], top.get());
    return 0;
}

// The command name has a hyphen, which the registration macro cannot spell.
const bool registered = RegisterCommand({"export-xml", "IN OUT", runExportXml});

} // namespace

} // namespace pavilo::doc
