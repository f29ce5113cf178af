#include "model/stream/FixtureWriter.h"

#include <bit>

namespace pavilo::fixture {

namespace {

using K = TFixtureKind;

struct KindName {
    TFixtureKind kind;
    const char* early; // versions 1 to 4
    const char* late;  // versions 5 to 9
};

constexpr KindName kNames[] = {
    {K::Node, "TNodeData", "TNode"},
    {K::PVNode, "TPVNodeData", "TPVNode"},
    {K::Page, "TDocumentData", "TPageNode"},
    {K::Application, "TApplicationData", "TApplicationNode"},
    {K::PageWizard, "TDocumentWizard", "TPageWizardNode"},
    {K::URL, "TURLData", "TURLNode"},
    {K::Element, "TElementData", "TElementNode"},
    {K::ElementWizard, "TElementWizard", "TElementWizardNode"},
    {K::Wizard, "TWizardData", ""},
    {K::Tool, "TToolData", ""},
    {K::File, "", "TFileNode"},
    {K::Root, "TRootData", "TRootNode"},
};

void writePicture(TFixtureBytes& out, const TFixturePicture& picture)
{
    out.Raw("TPF0").Short("TCarrier").Short("");
    if (!picture.ImageClass.empty()) {
        std::string payload;
        payload.push_back(static_cast<char>(picture.ImageClass.size()));
        payload += picture.ImageClass;
        payload += picture.Data;
        out.Short("Persistent.Data").Byte(0x0A).U32(static_cast<uint32_t>(payload.size())).Raw(payload);
    }
    out.Byte(0x00).Byte(0x00);
}

void writeStrings(TFixtureBytes& out, const std::vector<std::string>& lines)
{
    out.Raw("TPF0").Short("TCarrier").Short("");
    if (!lines.empty()) {
        out.Short("Persistent.Strings").ListBegin();
        for (const std::string& line : lines)
            out.Str(line);
        out.ListEnd();
    }
    out.Byte(0x00).Byte(0x00);
}

void writeNodePart(TFixtureBytes& out, const TFixtureNode& n, int version)
{
    if (version <= 4)
        return;
    out.Int(n.ID).Bool(n.AllowChange);
    if (version >= 6)
        out.Str(n.Author).Date(n.CreationTime).Date(n.ModificationTime);
}

void writePVPart(TFixtureBytes& out, const TFixtureNode& n, int version)
{
    writeNodePart(out, n, version);
    out.Str(n.Title);
    if (version <= 4)
        out.Int(n.DiscardedInteger);
    out.Int(n.Width).Int(n.Height).Str(n.IconFilename).Bool(n.HasMenu);
    if (version <= 4)
        out.Bool(n.AllowChange);
    if (version >= 3)
        out.Bool(n.Scrollbars).Int(n.PanelColor);
    if (version >= 6)
        out.Bool(n.HideBrowser);
    writePicture(out, n.Icon);
    writeStrings(out, n.OutlineText);
}

void writePagePart(TFixtureBytes& out, const TFixtureNode& n, int version)
{
    writePVPart(out, n, version);
    out.Str(n.CSSFileName);
    if (version >= 2)
        out.Str(n.BaseUrl);
    out.Str(n.Source);
    if (version >= 6)
        out.Bool(n.DiscardedBoolean).Int(n.DiscardedInteger).Int(n.ReservedSetting);
}

void writeWizardSettings(TFixtureBytes& out, const TFixtureNode& n)
{
    out.Str(n.DLLFileName).Str(n.FuncName).Str(n.InParams);
}

void writeRootPart(TFixtureBytes& out, const TFixtureNode& n, int version)
{
    if (version <= 4) {
        writePVPart(out, n, version);
        out.Int(n.BgColor).Int(n.FontColor).Int(n.SelectionColor);
    } else {
        writeNodePart(out, n, version);
        out.Int(n.BgColor).Int(n.FontColor).Int(n.SelectionColor).Str(n.Title);
        if (version >= 6)
            out.Int(n.DiscardedInteger).Str(n.ExtraText);
        if (version >= 7)
            out.Str(n.DiscardedString).Str(n.CustomerName).Date(n.Date).Str(n.Participants).Str(n.Notes);
        if (version >= 8)
            out.Int(n.DefaultView);
    }
    writePicture(out, n.Picture);
    writePicture(out, n.CollapsedGlyph);
    writePicture(out, n.ExpandedGlyph);
}

} // namespace

TFixtureBytes& TFixtureBytes::Byte(uint8_t b)
{
    m_bytes.push_back(static_cast<char>(b));
    return *this;
}

TFixtureBytes& TFixtureBytes::Raw(std::string_view bytes)
{
    m_bytes.append(bytes);
    return *this;
}

TFixtureBytes& TFixtureBytes::U32(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        Byte(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
}

TFixtureBytes& TFixtureBytes::Int(int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    if (value >= -128 && value <= 127)
        return Byte(0x02).Byte(static_cast<uint8_t>(u));
    if (value >= -32768 && value <= 32767)
        return Byte(0x03).Byte(static_cast<uint8_t>(u)).Byte(static_cast<uint8_t>(u >> 8));
    return Byte(0x04).U32(u);
}

TFixtureBytes& TFixtureBytes::Str(std::string_view text)
{
    if (text.size() <= 255)
        Byte(0x06).Byte(static_cast<uint8_t>(text.size()));
    else
        Byte(0x0C).U32(static_cast<uint32_t>(text.size()));
    return Raw(text);
}

TFixtureBytes& TFixtureBytes::Bool(bool value)
{
    return Byte(value ? 0x09 : 0x08);
}

TFixtureBytes& TFixtureBytes::Date(double value)
{
    const auto bits = std::bit_cast<uint64_t>(value);
    Byte(0x11);
    for (int i = 0; i < 8; ++i)
        Byte(static_cast<uint8_t>(bits >> (8 * i)));
    return *this;
}

TFixtureBytes& TFixtureBytes::Short(std::string_view text)
{
    return Byte(static_cast<uint8_t>(text.size())).Raw(text);
}

TFixturePicture FixtureBitmap(std::string_view bmp)
{
    TFixtureBytes data;
    data.U32(static_cast<uint32_t>(bmp.size())).Raw(bmp);
    return {"TBitmap", data.Bytes()};
}

std::string FixtureClassName(TFixtureKind kind, int version)
{
    for (const KindName& k : kNames)
        if (k.kind == kind)
            return version <= 4 ? k.early : k.late;
    return {};
}

TFixtureNode FixtureNode(TFixtureKind kind)
{
    TFixtureNode node;
    node.Kind = kind;
    return node;
}

TFixtureNode WorkedExampleFixture()
{
    TFixtureNode root = FixtureNode(K::Root);
    root.ID = 2;
    root.Title = "T";
    root.BgColor = static_cast<int32_t>(0x8000000F);
    root.SelectionColor = static_cast<int32_t>(0x8000000D);
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    file.Children.push_back(root);
    return file;
}

void WriteFixtureFields(TFixtureBytes& out, const TFixtureNode& n, int version)
{
    switch (n.Kind) {
    case K::Node:
    case K::File:
        writeNodePart(out, n, version);
        break;
    case K::PVNode:
    case K::Tool:
        writePVPart(out, n, version);
        break;
    case K::Page:
        writePagePart(out, n, version);
        break;
    case K::Application:
        writePagePart(out, n, version);
        out.Str(n.FileName).Bool(n.CloseApplication);
        break;
    case K::PageWizard:
        if (version <= 3) {
            if (n.Body.empty())
                WriteFixtureRecord(out, FixtureNode(K::Wizard), version);
            else
                WriteFixtureRecord(out, n.Body.front(), version);
        } else {
            writePagePart(out, n, version);
            writeWizardSettings(out, n);
        }
        break;
    case K::URL:
        writePVPart(out, n, version);
        out.Str(n.Url);
        break;
    case K::Element:
        writePVPart(out, n, version);
        out.Str(n.Source);
        break;
    case K::ElementWizard:
        writePVPart(out, n, version);
        out.Str(n.Source);
        writeWizardSettings(out, n);
        break;
    case K::Wizard:
        writePVPart(out, n, version);
        writeWizardSettings(out, n);
        break;
    case K::Root:
        writeRootPart(out, n, version);
        break;
    }
}

void WriteFixtureRecord(TFixtureBytes& out, const TFixtureNode& node, int version)
{
    out.Str(node.ClassName ? *node.ClassName : FixtureClassName(node.Kind, version));
    WriteFixtureFields(out, node, version);
    out.ListBegin();
    for (const TFixtureNode& child : node.Children)
        WriteFixtureRecord(out, child, version);
    out.ListEnd();
}

std::string FixtureRecord(const TFixtureNode& node, int version)
{
    TFixtureBytes out;
    WriteFixtureRecord(out, node, version);
    return out.Bytes();
}

std::string FixtureSignature(int version)
{
    TFixtureBytes out;
    out.Str("PV0" + std::to_string(version));
    return out.Bytes();
}

std::string FixtureDocument(int version, const TFixtureNode& top, std::optional<TFixtureTrailer> trailer)
{
    TFixtureBytes out;
    out.Raw(FixtureSignature(version));
    WriteFixtureRecord(out, top, version);
    if (trailer) {
        out.Str(trailer->Name).Int(trailer->Count).ListBegin();
        for (const std::string& s : trailer->Strings)
            out.Str(s);
        out.ListEnd();
    }
    return out.Bytes();
}

std::string EmptyObjectRecord()
{
    TFixtureBytes out;
    writePicture(out, {});
    return out.Bytes();
}

TFixtureNode SampleLikeRoot()
{
    TFixtureNode root = FixtureNode(K::Root);
    root.ID = 2;
    root.Author = "Ann";
    root.CreationTime = 45000.25;
    root.ModificationTime = 45001.75;
    root.Title = "Tour";
    root.BgColor = static_cast<int32_t>(0x8000000F);
    root.FontColor = 0x00112233;
    root.SelectionColor = static_cast<int32_t>(0x8000000D);
    root.ExtraText = "extra\r\n";
    root.CustomerName = "Customer";
    root.Date = 45000.0;
    root.Participants = "All";
    root.Notes = "Notes \xC3\xA4";
    root.DefaultView = 2;
    root.CollapsedGlyph = FixtureBitmap("BM-collapsed");
    root.ExpandedGlyph = FixtureBitmap("BM-expanded");

    TFixtureNode page = FixtureNode(K::Page);
    page.ID = 3;
    page.Title = "Welcome";
    page.Width = 640;
    page.Height = 480;
    page.Scrollbars = false;
    page.IconFilename = "icon.ico";
    page.HasMenu = true;
    page.PanelColor = 0x00FF00;
    page.Icon = FixtureBitmap("BM-icon");
    page.OutlineText = {"first", "second"};
    page.CSSFileName = "style.css";
    page.BaseUrl = "/docs/";
    page.Source = "<html>\r\n<body>Hi</body>\r\n</html>\r\n";
    page.ReservedSetting = 3;

    TFixtureNode url = FixtureNode(K::URL);
    url.ID = 4;
    url.Title = "Home";
    url.Url = "http://example.org/";
    url.HideBrowser = true;
    page.Children.push_back(url);

    TFixtureNode app = FixtureNode(K::Application);
    app.ID = 5;
    app.Title = "Run";
    app.AllowChange = false;
    app.FileName = "/usr/bin/true";
    app.CloseApplication = true;
    app.Source = "<p>run</p>\r\n";
    page.Children.push_back(app);

    TFixtureNode wizard = FixtureNode(K::PageWizard);
    wizard.ID = 6;
    wizard.Title = "Made";
    wizard.DLLFileName = "wiz.dll";
    wizard.FuncName = "NewEmptyDocument";
    wizard.InParams = "a=1";
    TFixtureNode body = FixtureNode(K::Wizard);
    body.DLLFileName = wizard.DLLFileName;
    body.FuncName = wizard.FuncName;
    body.InParams = wizard.InParams;
    wizard.Body.push_back(body);

    TFixtureNode element = FixtureNode(K::Element);
    element.ID = 7;
    element.Title = "Part";
    element.Source = "<b>x</b>\r\n";
    TFixtureNode elementWizard = FixtureNode(K::ElementWizard);
    elementWizard.ID = 8;
    elementWizard.Title = "Parts";
    elementWizard.Source = "<i>y</i>\r\n";
    elementWizard.DLLFileName = "el.dll";
    elementWizard.FuncName = "Table";
    elementWizard.InParams = "rows=2";
    element.Children.push_back(elementWizard);

    root.Children = {page, wizard, element};
    return root;
}

std::string SampleLikeDocument(int version)
{
    if (version <= 7)
        return FixtureDocument(version, SampleLikeRoot(), std::nullopt);
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    file.Children.push_back(SampleLikeRoot());
    TFixtureTrailer trailer;
    trailer.Strings = {"", "", "", "Pavilo", "1.0.0", "1.0.0.1"};
    return FixtureDocument(version, file, trailer);
}

} // namespace pavilo::fixture
