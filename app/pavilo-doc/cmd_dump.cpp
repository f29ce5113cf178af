// pavilo-doc dump FILE: the document as one JSON object.

#include <cstdio>

#include "Command.h"
#include "Json.h"
#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"
#include "platform/text/TextCodec.h"

namespace pavilo::doc {

namespace {

void picture(TJsonWriter& j, const char* key, const TPicture& p)
{
    j.Key(key);
    if (p.Empty()) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Key("ImageClass");
    j.String(p.ImageClass());
    j.Key("Bytes");
    j.Int(static_cast<int64_t>(p.ImageBytes().size()));
    j.EndObject();
}

void str(TJsonWriter& j, const char* key, std::string_view v)
{
    j.Key(key);
    j.String(v);
}

void num(TJsonWriter& j, const char* key, int64_t v)
{
    j.Key(key);
    j.Int(v);
}

void flag(TJsonWriter& j, const char* key, bool v)
{
    j.Key(key);
    j.Bool(v);
}

void date(TJsonWriter& j, const char* key, double v)
{
    j.Key(key);
    j.Double(v);
}

template <class T>
void wizardFields(TJsonWriter& j, const T& w)
{
    str(j, "DLLFileName", w.DLLFileName());
    str(j, "FuncName", w.FuncName());
    str(j, "InParams", w.InParams());
}

void node(TJsonWriter& j, const TNode& n)
{
    j.BeginObject();
    str(j, "Class", n.ClassName());
    num(j, "ID", n.ID());
    flag(j, "AllowChange", n.AllowChange());
    str(j, "Author", n.Author());
    date(j, "CreationTime", n.CreationTime());
    date(j, "ModificationTime", n.ModificationTime());
    flag(j, "Modified", n.Modified());
    num(j, "ViewFlags", n.ViewFlags());
    if (const auto* pv = dynamic_cast<const TPVNode*>(&n)) {
        str(j, "Title", pv->Title());
        picture(j, "Icon", pv->Icon());
        str(j, "OutlineText", pv->OutlineText().Text());
        num(j, "Width", pv->Width());
        num(j, "Height", pv->Height());
        str(j, "IconFilename", pv->IconFilename());
        flag(j, "HasMenu", pv->HasMenu());
        flag(j, "Scrollbars", pv->Scrollbars());
        num(j, "PanelColor", pv->PanelColor());
        flag(j, "HideBrowser", pv->HideBrowser());
    }
    if (const auto* page = dynamic_cast<const TPageNode*>(&n)) {
        str(j, "Source", page->Source().Text());
        str(j, "CSSFileName", page->CSSFileName());
        str(j, "BaseUrl", page->BaseUrl());
        num(j, "ReservedSetting", page->ReservedSetting());
    }
    if (const auto* app = dynamic_cast<const TApplicationNode*>(&n)) {
        str(j, "FileName", app->FileName());
        flag(j, "CloseApplication", app->CloseApplication());
    }
    if (const auto* w = dynamic_cast<const TPageWizardNode*>(&n))
        wizardFields(j, *w);
    if (const auto* url = dynamic_cast<const TURLNode*>(&n))
        str(j, "Url", url->Url());
    if (const auto* element = dynamic_cast<const TElementNode*>(&n))
        str(j, "Source", element->Source().Text());
    if (const auto* w = dynamic_cast<const TElementWizardNode*>(&n))
        wizardFields(j, *w);
    if (const auto* w = dynamic_cast<const TWizardNode*>(&n))
        wizardFields(j, *w);
    if (const auto* tool = dynamic_cast<const TToolNode2*>(&n))
        str(j, "FileName", tool->FileName());
    if (const auto* file = dynamic_cast<const TFileNode*>(&n)) {
        static const char* const names[TFileNode::ProvenanceCount] = {
            "Reserved1", "Reserved2", "Reserved3", "ProductName", "ProductVersion", "FileVersion"};
        for (int i = 0; i < TFileNode::ProvenanceCount; ++i)
            str(j, names[i], file->Provenance(i));
        str(j, "FileName", file->FileName());
        str(j, "Title", file->Title());
        num(j, "FileKind", file->FileKind());
    }
    if (const auto* root = dynamic_cast<const TRootNode*>(&n)) {
        num(j, "BgColor", root->BgColor());
        picture(j, "Picture", root->Picture());
        num(j, "FontColor", root->FontColor());
        num(j, "SelectionColor", root->SelectionColor());
        picture(j, "CollapsedGlyph", root->CollapsedGlyph());
        picture(j, "ExpandedGlyph", root->ExpandedGlyph());
        str(j, "Title", root->Title());
        str(j, "ExtraText", root->ExtraText().Text());
        str(j, "CustomerName", root->CustomerName());
        date(j, "Date", root->Date());
        str(j, "Participants", root->Participants());
        str(j, "Notes", text::FromUtf16(root->Notes()));
        num(j, "DefaultView", root->DefaultView());
    }
    j.Key("Children");
    j.BeginArray();
    for (const TNode* child : n.Children())
        node(j, *child);
    j.EndArray();
    j.EndObject();
}

int runDump(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw TUsageError();
    TLoadedDocument doc = LoadDocumentWithVersion(args[0]);
    TJsonWriter j;
    j.BeginObject();
    num(j, "Version", doc.Version);
    j.Key("Node");
    node(j, *doc.Node);
    j.EndObject();
    std::fwrite(j.Text().data(), 1, j.Text().size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

} // namespace

PAVILO_DOC_COMMAND(dump, "FILE", runDump);

} // namespace pavilo::doc
