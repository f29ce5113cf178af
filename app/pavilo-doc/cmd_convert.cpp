// pavilo-doc convert IN OUT [--keep-provenance]: IN saved as a current document.

#include "Command.h"
#include "model/DocumentNodes.h"
#include "documents/PVPStore.h"
#include "model/stream/StrmPers.h"

namespace pavilo::doc {

namespace {

int runConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> paths;
    bool keepProvenance = false;
    for (const std::string& a : args) {
        if (a == "--keep-provenance")
            keepProvenance = true;
        else if (a.rfind("--", 0) == 0)
            throw TUsageError();
        else
            paths.push_back(a);
    }
    if (paths.size() != 2)
        throw TUsageError();
    std::unique_ptr<TNode> top = LoadDocument(paths[0]);
    auto* file = dynamic_cast<TFileNode*>(top.get());
    if (file && !keepProvenance)
        file->StampProvenance();
    // Through the safe save: an existing OUT is kept as its ".bak".
    SaveLoadedDocumentAs(std::move(top), paths[1]);
    return 0;
}

} // namespace

PAVILO_DOC_COMMAND(convert, "IN OUT [--keep-provenance]", runConvert);

} // namespace pavilo::doc
