// doc_io: load and save throughput of large presentations.
//
// Builds presentations of 50,000 and 200,000 content nodes (pages of a few
// hundred bytes of HTML, nested a few levels, some with notes and icons),
// saves and loads each, and reports MB/s, the peak memory of a load (in a
// fresh child process) against the file size, and how time scales.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;
using Clock = std::chrono::steady_clock;

namespace {

std::string icon()
{
    std::string bmp(54 + 16 * 16 * 3, '\x40');
    bmp[0] = 'B';
    bmp[1] = 'M';
    return bmp;
}

std::unique_ptr<TFileNode> build(int contentNodes)
{
    auto file = std::make_unique<TFileNode>();
    auto* root = new TRootNode;
    root->SetParent(file.get());
    const std::string iconBytes = icon();
    std::vector<TNode*> level{root};
    int made = 0;
    // Chapters of 20 sections of 10 pages: four levels below the root.
    while (made < contentNodes) {
        auto* chapter = new TPageNode;
        chapter->SetTitle("Chapter " + std::to_string(made));
        chapter->Source().SetText("<html><body><h1>Chapter</h1></body></html>");
        chapter->SetParent(root);
        ++made;
        for (int s = 0; s < 20 && made < contentNodes; ++s) {
            auto* section = new TPageNode;
            section->SetTitle("Section " + std::to_string(made));
            section->Source().SetText("<html><body><h2>Section</h2><p>Intro</p></body></html>");
            section->SetParent(chapter);
            ++made;
            for (int p = 0; p < 10 && made < contentNodes; ++p, ++made) {
                auto* page = new TPageNode;
                page->SetID(made);
                page->SetTitle("Page " + std::to_string(made));
                page->Source().SetText(
                    "<html>\r\n<head><title>Page " + std::to_string(made) +
                    "</title></head>\r\n<body>\r\n<h3>A page of the benchmark</h3>\r\n"
                    "<p>Some text of the page, with a <a href=\"next.htm\">link</a> and a picture "
                    "<img src=\"img/picture.gif\" width=\"32\" height=\"32\">.</p>\r\n"
                    "<p>More text so that the page holds a few hundred bytes of HTML.</p>\r\n</body>\r\n</html>\r\n");
                if (p % 3 == 0)
                    page->OutlineText().SetText("<p>Notes for the speaker of page " + std::to_string(made) + "</p>");
                if (p == 0)
                    page->Icon().SetBitmap(iconBytes);
                page->SetParent(section);
            }
        }
    }
    return file;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// CPU time of this process: steadier than wall time on a shared machine.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct LoadFigures {
    double seconds = 0;
    double cpu = 0;
    long peakKb = 0;
};

// Loads in a child so that its peak memory is the load's alone.
LoadFigures loadInChild(const std::string& path)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        auto t0 = Clock::now();
        double c0 = cpuSeconds();
        std::unique_ptr<TNode> doc = LoadDocument(path);
        LoadFigures f{seconds(Clock::now() - t0), cpuSeconds() - c0, 0};
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        f.peakKb = after.ru_maxrss;
        if (write(fds[1], &f, sizeof f) != sizeof f)
            _exit(1);
        _exit(doc ? 0 : 1);
    }
    close(fds[1]);
    LoadFigures f;
    if (read(fds[0], &f, sizeof f) != sizeof f)
        f = {};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    std::string dir = argc > 1 ? argv[1] : "/tmp";
    int sizes[] = {50000, 200000};
    if (argc > 3) {
        sizes[0] = std::atoi(argv[2]);
        sizes[1] = std::atoi(argv[3]);
    }
    double saveTime[2], loadTime[2], saveCpu[2], loadCpu[2];
    std::printf("%8s %8s %10s %10s %10s %10s %12s %10s\n", "nodes", "file MB", "save MB/s", "(cpu)", "load MB/s",
                "(cpu)", "load peak MB", "peak/file");
    for (int i = 0; i < 2; ++i) {
        auto doc = build(sizes[i]);
        std::string path = dir + "/doc_io_" + std::to_string(sizes[i]) + ".pvp";
        doc->SetFileName(path);
        // Best of three, so a busy neighbour does not decide the figure.
        double best = 1e9, bestCpu = 1e9;
        for (int r = 0; r < 3; ++r) {
            auto t0 = Clock::now();
            double c0 = cpuSeconds();
            if (!SaveDocument(path, doc.get())) {
                std::fprintf(stderr, "save failed\n");
                return 1;
            }
            bestCpu = std::min(bestCpu, cpuSeconds() - c0);
            best = std::min(best, seconds(Clock::now() - t0));
        }
        saveTime[i] = best;
        saveCpu[i] = bestCpu;
        doc.reset();
        FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        double mb = static_cast<double>(std::ftell(f)) / 1e6;
        std::fclose(f);
        LoadFigures load{1e9, 1e9, 0};
        for (int r = 0; r < 3; ++r) {
            LoadFigures l = loadInChild(path);
            load.seconds = std::min(load.seconds, l.seconds);
            load.cpu = std::min(load.cpu, l.cpu);
            load.peakKb = std::max(load.peakKb, l.peakKb);
        }
        loadTime[i] = load.seconds;
        loadCpu[i] = load.cpu;
        double peakMb = static_cast<double>(load.peakKb) * 1024 / 1e6;
        std::printf("%8d %8.1f %10.0f %10.0f %10.0f %10.0f %12.1f %10.2f\n", sizes[i], mb, mb / saveTime[i],
                    mb / saveCpu[i], mb / loadTime[i], mb / loadCpu[i], peakMb, peakMb / mb);
        std::remove(path.c_str());
    }
    std::printf("scaling %d -> %d nodes", sizes[0], sizes[1]);
    std::printf(": save %.2fx time (cpu %.2fx), load %.2fx time (cpu %.2fx)\n",
                saveTime[1] / saveTime[0], saveCpu[1] / saveCpu[0], loadTime[1] / loadTime[0],
                loadCpu[1] / loadCpu[0]);
    return 0;
}
