// Link scanning of one page of 1, 10 and 50 MB (tags with linking
// attributes, param tags, text, comments, scripts and style blocks with
// url() references): ScanNodeLinks throughput and its scaling.
//
// Usage: scan_doc [MB ...]   (default 1 10 50)

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/PVPObjModel.h"
#include "tools/ScanDoc.h"

using namespace pavilo;

namespace {

std::string generatePage(size_t bytes)
{
    uint32_t seed = 4711;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    std::string s = "<html><head><title>Tour</title></head>\r\n<body background=\"img/bg.gif\">\r\n";
    s.reserve(bytes + 4096);
    while (s.size() < bytes) {
        unsigned n = next(1000);
        switch (next(7)) {
        case 0: s += "<p class=\"c" + std::to_string(n) + "\">The show of page " + std::to_string(n) + " &amp; its notes</p>\r\n"; break;
        case 1: s += "<img alt=\"pic" + std::to_string(n) + ".gif\" src=\"img/pic" + std::to_string(n) + ".gif\" width=32>\r\n"; break;
        case 2: s += "<a href=\"page" + std::to_string(n) + ".htm\" target=_top>next</a>\r\n"; break;
        case 3: s += "<!-- a comment with <img src=x.gif> inside -->\r\n"; break;
        case 4: s += "<script language=JavaScript>\r\nvar a = " + std::to_string(n) + " < 3; window.external.firstNode();\r\n</script>\r\n"; break;
        case 5: s += "<style>\r\np.c" + std::to_string(n) + " { background: url(img/s" + std::to_string(n) + ".gif) }\r\n</style>\r\n"; break;
        default: s += "<object data=\"m" + std::to_string(n) + ".swf\"><param name=movie value=\"m" + std::to_string(n) + ".swf\"></object>\r\n"; break;
        }
    }
    s += "</body></html>\r\n";
    return s;
}

struct TResult {
    double MB;
    double Seconds;
    int Links;
};

TResult measure(size_t megabytes)
{
    TFileNode file;
    file.SetFileName("/docs/tour.pvp");
    auto* root = new TRootNode;
    root->SetParent(&file);
    auto* page = new TPageNode;
    page->SetParent(root);
    page->Source().SetText(generatePage(megabytes * 1000 * 1000));
    TDocumentScanner scanner;
    double best = 1e30;
    int links = 0;
    for (int run = 0; run < 3; ++run) {
        int failures = 0;
        auto t0 = std::chrono::steady_clock::now();
        scanner.ScanNodeLinks(page, failures);
        auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        links = page->Links().Count();
    }
    return {static_cast<double>(page->Source().Text().size()) / 1e6, best, links};
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<size_t>(std::strtoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = {1, 10, 50};
    std::vector<TResult> results;
    for (size_t mb : sizes) {
        TResult r = measure(mb);
        results.push_back(r);
        std::printf("%8.1f MB  %8.3f s  %8.1f MB/s  %9d links\n", r.MB, r.Seconds, r.MB / r.Seconds, r.Links);
    }
    if (results.size() >= 2) {
        const TResult& a = results.front();
        const TResult& b = results.back();
        std::printf("scaling %.1fx the size in %.2fx the time (linear: %.2f)\n", b.MB / a.MB, b.Seconds / a.Seconds,
                    (b.Seconds / a.Seconds) / (b.MB / a.MB));
    }
    return 0;
}
