#pragma once
// A small presentation with one node of every kind a presentation holds, for
// the XML export tests and the command-line check.

#include <memory>
#include <string>

#include "model/PVPObjModel.h"
#include "model/stream/ObjectRecord.h"
#include "model/stream/ValueStream.h"

namespace pavilo::sample {

// PanelColor and HideBrowser change only through reading, as they do when a
// document is opened: the node's show-window part is read back from a record.
inline void setShowWindow(TPVNode& node, TColor panelColor, bool hideBrowser)
{
    TValueWriter w;
    node.TNode::WriteFields(w, 8);
    w.WriteString(node.Title());
    w.WriteInteger(node.Width());
    w.WriteInteger(node.Height());
    w.WriteString(node.IconFilename());
    w.WriteBoolean(node.HasMenu());
    w.WriteBoolean(node.Scrollbars());
    w.WriteInteger(static_cast<int32_t>(panelColor));
    w.WriteBoolean(hideBrowser);
    WritePictureRecord(w, node.Icon());
    WriteStringsRecord(w, node.OutlineText());
    std::string bytes = w.TakeBytes();
    TValueReader r(bytes, "test");
    node.TPVNode::ReadFields(r, 8);
}

struct TSamplePresentation {
    std::unique_ptr<TFileNode> File = std::make_unique<TFileNode>();
    TRootNode* Root = new TRootNode;
    TPageNode* Page = new TPageNode;
    TURLNode* Url = new TURLNode;
    TApplicationNode* Launcher = new TApplicationNode;
    TPageWizardNode* Wizard = new TPageWizardNode;

    explicit TSamplePresentation(const std::string& fileName)
    {
        File->SetFileName(fileName);
        File->SetID(0x12AB);
        Root->SetParent(File.get());
        Root->SetID(1);
        Root->SetTitle("Tour & \"more\" <here>");
        Root->SetNotes(u"Notes \u00E9\u20AC \U0001F600");
        Root->SetFontColor(0x00336699);
        Root->SetSelectionColor(0x1FFFFFFF);
        Root->SetCustomerName("Caf\xE9 Ltd");  // Windows-1252, as old documents hold
        Root->SetParticipants("Ann\x01 Bob"); // a control character XML cannot carry
        Root->SetDefaultView(3);

        Page->SetParent(Root);
        Page->SetID(-1);
        Page->SetTitle("Welcome");
        Page->SetAuthor("J\xFCrgen");
        Page->SetWidth(640);
        Page->SetHeight(480);
        Page->SetCSSFileName("style.css");
        Page->SetBaseUrl("D:\\Site\\");
        Page->OutlineText().SetText("line one\r\nline two");
        Page->Source().SetText("<html><body>not exported</body></html>");
        setShowWindow(*Page, 0x00336699, true);

        Url->SetParent(Page);
        Url->SetID(0x7FFFFFFF);
        Url->SetUrl("http://example.com/?a=1&b=2");

        Launcher->SetParent(Root);
        Launcher->SetID(42);
        Launcher->SetFileName("/usr/bin/true");
        Launcher->SetCloseApplication(true);

        Wizard->SetParent(Root);
        Wizard->SetID(43);
        Wizard->SetDLLFileName("wizards.so");
        Wizard->SetFuncName("MakePage");
        Wizard->SetInParams("a=1");
    }
};

} // namespace pavilo::sample
