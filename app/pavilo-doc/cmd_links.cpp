// pavilo-doc links FILE: every reference the document scanner finds, node by
// node in visiting order (children first), as one JSON array; the scanner's
// warning on standard error when any scan failed.

#include <filesystem>
#include <iostream>

#include "Command.h"
#include "Json.h"
#include "model/Node.h"
#include "model/stream/StrmPers.h"
#include "tools/ScanDoc.h"

namespace pavilo::doc {

namespace {

int runLinks(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw TUsageError();
    // Documents are opened by their full path, so that references resolve
    // against a real folder and local files can be tested.
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(args[0], ec);
    std::unique_ptr<TNode> top = LoadDocument(ec ? args[0] : path.lexically_normal().string());
    TDocumentScanner scanner;
    TJsonWriter json;
    json.BeginArray();
    int failures = 0;
    top->ForEachNode([&](TNode* node) {
        scanner.ScanNodeLinks(node, failures);
        for (const TLinkInfo& l : node->Links()) {
            json.BeginObject();
            json.Key("Node");
            json.Int(node->ID());
            json.Key("Link");
            json.String(l.Link);
            json.Key("LinkPosition");
            json.Int(l.LinkPosition);
            json.Key("LinkLength");
            json.Int(l.LinkLength);
            json.Key("PathName");
            json.String(l.PathName);
            json.Key("LinkStatus");
            json.Int(l.LinkStatus());
            json.Key("SourceOrigin");
            json.String(l.SourceOrigin);
            json.Key("SourceOffset");
            json.Int(l.SourceOffset);
            json.EndObject();
        }
    });
    json.EndArray();
    std::cout << json.Text() << "\n";
    if (failures > 0)
        std::cerr << LinkScanWarning << "\n";
    return 0;
}

} // namespace

PAVILO_DOC_COMMAND(links, "FILE", runLinks);

} // namespace pavilo::doc
