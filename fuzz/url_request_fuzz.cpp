// Fuzz entry for the document URL protocol: the bytes are the percent-decoded
// path of a request that a page asked for. Parsing must answer the page or a
// redirection, and reading the content must stay within the stream.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "model/PVPObjModel.h"
#include "web/PvpMon.h"

namespace {

// A small presentation saved nowhere: two pages, one linked by id.
pavilo::TFileNode* presentation()
{
    static std::unique_ptr<pavilo::TFileNode> file = [] {
        auto f = std::make_unique<pavilo::TFileNode>();
        f->SetFileName("/docs/Tour.pvp");
        auto* root = new pavilo::TRootNode;
        root->SetParent(f.get());
        for (int id : {12, 13}) {
            auto* page = new pavilo::TPageNode;
            page->SetID(id);
            page->Source().SetText("<html><body><a href=\"id=13\">next</a><img src=\"img\\a.gif\"></body></html>");
            page->SetCSSFileName("look.css");
            page->SetParent(root);
        }
        return f;
    }();
    return file.get();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pavilo::TFileNode* file = presentation();
    pavilo::ComposePage(file->Items(0)->Items(0));
    std::string path(reinterpret_cast<const char*>(data), size);
    pavilo::TPVPMoniker moniker;
    pavilo::TPvpAnswer answer =
        moniker.ParseDisplayName(pavilo::TPVPMoniker::DisplayName(pavilo::MonikerName(), path));
    if (answer.Kind == pavilo::TPvpAnswer::paPage) {
        std::unique_ptr<pavilo::TMyStream> stream = moniker.OpenContent();
        char buffer[256];
        uint32_t got = 0;
        uint64_t total = 0;
        while (stream->Read(buffer, sizeof buffer, &got), got > 0)
            total += got;
        if (total > (size_t{1} << 30))
            std::abort();
    }
    return 0;
}
