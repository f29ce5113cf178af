// Fuzz target for the document reader: any bytes either load or fail with a
// pavilo::Exception. A document that loads must save to bytes that load
// again and save to the very same bytes. A stored id 0 is renumbered on
// reading, so ids 0 are made 1 before the first save.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/Exception.h"
#include "model/stream/StrmPers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pavilo;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TLoadedDocument doc;
    try {
        doc = LoadDocumentFromBytes(bytes, "/fuzz/x.pvp");
    } catch (const Exception&) {
        return 0;
    }
    if (!doc.Node)
        std::abort(); // a load that neither fails nor hands out a tree

    doc.Node->ForEachNode([](TNode* n) {
        if (n->ID() == 0)
            n->SetID(1);
    });
    bool ok = false;
    const std::string saved = DocumentBytes(doc.Node.get(), &ok);
    if (!ok)
        std::abort();
    TLoadedDocument again;
    try {
        again = LoadDocumentFromBytes(saved, "/fuzz/x.pvp");
    } catch (const Exception&) {
        std::abort(); // what the program saves it must be able to read
    }
    if (DocumentBytes(again.Node.get()) != saved)
        std::abort(); // a saved document reads back to the same document
    return 0;
}
