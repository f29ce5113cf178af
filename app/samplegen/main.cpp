// pavilo-samplegen OUTDIR: writes the shipped sample presentation and
// toolbox through the model, so the samples are the program's own and can be
// made again at any time.

#include <cstdio>
#include <string>

#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;

namespace {

int32_t g_nextId = 1000;
constexpr TDateTime kSampleTime = 46000.5; // a fixed moment, so the bytes stay the same

template <class T>
T* add(TNode* parent, const std::string& title)
{
    auto* node = new T;
    node->SetID(++g_nextId);
    node->SetTimes(kSampleTime, kSampleTime);
    node->SetAuthor("Pavilo samples");
    if constexpr (std::is_base_of_v<TPVNode, T>)
        node->SetTitle(title);
    node->SetParent(parent);
    return node;
}

// A 16x16 24-bit bitmap: a filled square with a darker border.
std::string iconBitmap(uint8_t r, uint8_t g, uint8_t b)
{
    const int w = 16, h = 16, row = w * 3;
    const uint32_t pixels = static_cast<uint32_t>(row * h), size = 54 + pixels;
    std::string bmp;
    auto u16 = [&](uint32_t v) { bmp.push_back(char(v & 0xFF)); bmp.push_back(char((v >> 8) & 0xFF)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    bmp += "BM";
    u32(size); u32(0); u32(54);
    u32(40); u32(w); u32(h); u16(1); u16(24); u32(0); u32(pixels); u32(2835); u32(2835); u32(0); u32(0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            bmp.push_back(char(edge ? b / 2 : b));
            bmp.push_back(char(edge ? g / 2 : g));
            bmp.push_back(char(edge ? r / 2 : r));
        }
    return bmp;
}

std::string page(const std::string& heading, const std::string& body)
{
    return "<html>\r\n<head><title>" + heading + "</title></head>\r\n<body>\r\n<h1>" + heading +
           "</h1>\r\n" + body + "\r\n</body>\r\n</html>\r\n";
}

TPageNode* addPage(TNode* parent, const std::string& title, const std::string& body, const std::string& notes = {})
{
    auto* p = add<TPageNode>(parent, title);
    p->Source().SetText(page(title, body));
    if (!notes.empty())
        p->OutlineText().SetText("<p>" + notes + "</p>");
    return p;
}

TRootNode* newRoot(TFileNode* file, const std::string& title, uint8_t defaultView)
{
    auto* root = add<TRootNode>(file, title);
    root->SetTitle(title);
    root->SetBgColor(0x8000000F);
    root->SetSelectionColor(0x8000000D);
    root->SetFontColor(0);
    root->SetDefaultView(defaultView);
    root->SetDate(46000.0);
    root->CollapsedGlyph().SetBitmap(iconBitmap(0x40, 0x80, 0x40));
    root->ExpandedGlyph().SetBitmap(iconBitmap(0x40, 0x40, 0x80));
    return root;
}

std::unique_ptr<TFileNode> presentation()
{
    auto file = std::make_unique<TFileNode>();
    file->SetID(++g_nextId);
    file->SetTimes(kSampleTime, kSampleTime);
    TRootNode* root = newRoot(file.get(), "Guided Tour", 0);
    root->SetCustomerName("Sample customer");
    root->SetParticipants("Everyone");
    root->SetNotes(u"Notes of the whole presentation: one sample of every kind of node.");

    auto* welcome = addPage(root, "Welcome",
        "<p>This tour shows what a presentation can hold.</p>\r\n"
        "<p><a href=\"javascript:window.external.jumpTo(window.external.nextNode)\">Start</a></p>",
        "Greet the audience and say what the tour covers.");
    welcome->Icon().SetBitmap(iconBitmap(0xE0, 0xA0, 0x20));

    auto* menu = addPage(root, "Main menu",
        "<ul>\r\n<li>Basics</li>\r\n<li>Details</li>\r\n<li>Outside</li>\r\n</ul>",
        "The show comes back here after each chapter.");
    menu->SetHasMenu(true);

    auto* basics = addPage(menu, "Basics", "<p>The first chapter.</p>", "Keep it short.");
    addPage(basics, "Pages", "<p>Every page is HTML composed in memory.</p>");
    addPage(basics, "Styles", "<p>Pages may share a style sheet.</p>")->SetCSSFileName("tour.css");
    auto* sized = addPage(basics, "Fixed size", "<p>A page of 640 by 480 pixels.</p>");
    sized->SetWidth(640);
    sized->SetHeight(480);
    sized->SetScrollbars(false); // as a fixed-size page always reads back

    auto* details = addPage(menu, "Details", "<p>The second chapter.</p>");
    addPage(details, "Notes", "<p>Each page carries notes for the speaker.</p>",
            "Notes are <b>HTML</b> too.");
    addPage(details, "Scripts", "<p>Pages steer the show through window.external.</p>");

    auto* outside = addPage(menu, "Outside", "<p>The third chapter.</p>");
    auto* url = add<TURLNode>(outside, "Project site");
    url->SetUrl("http://localhost/");
    auto* launcher = add<TApplicationNode>(outside, "Text editor");
    launcher->SetFileName("/usr/bin/xdg-open");
    launcher->Source().SetText(page("Text editor", "<p>The launcher starts a program beside the show.</p>"));

    addPage(root, "Questions", "<p>Questions?</p>");
    addPage(root, "Thank you", "<p>Thank you for watching.</p>", "Close the show with Esc.");
    return file;
}

std::unique_ptr<TFileNode> toolbox()
{
    auto file = std::make_unique<TFileNode>();
    file->SetID(++g_nextId);
    file->SetTimes(kSampleTime, kSampleTime);

    TRootNode* pages = newRoot(file.get(), "Pages", 4);
    addPage(pages, "Empty page", "<p></p>");
    addPage(pages, "Title page", "<h2>Subtitle</h2>");
    auto* pageWizard = add<TPageWizardNode>(pages, "New page wizard");
    pageWizard->SetDLLFileName("<apppath>/wizards/pages.htm");
    pageWizard->SetFuncName("NewEmptyDocument");
    pageWizard->SetInParams("title=Untitled");

    TRootNode* elements = newRoot(file.get(), "Elements", 4);
    add<TElementNode>(elements, "Horizontal rule")->Source().SetText("<hr>");
    add<TElementNode>(elements, "Next button")->Source().SetText(
        "<button onclick=\"window.external.jumpTo(window.external.nextNode)\">Next</button>");
    auto* elementWizard = add<TElementWizardNode>(elements, "Picture wizard");
    elementWizard->SetDLLFileName("<apppath>/wizards/picture.htm");
    elementWizard->SetFuncName("InsertPicture");
    return file;
}

bool save(TFileNode& file, const std::string& path)
{
    file.SetFileName(path);
    file.StampProvenance();
    if (!SaveDocument(path, &file)) {
        std::fprintf(stderr, "Failed to save file %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pavilo-samplegen OUTDIR\n");
        return 2;
    }
    std::string dir = argv[1];
    try {
        auto tour = presentation();
        auto tools = toolbox();
        return save(*tour, dir + "/Tour.pvp") && save(*tools, dir + "/Toolbox.pvt") ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
