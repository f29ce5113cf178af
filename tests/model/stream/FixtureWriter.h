#pragma once
// Document bytes for tests, written field by field from the stored layouts
// of each format version. It shares nothing with the program's writer, so a
// test can hold the reader to the layouts rather than to the writer.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo::fixture {

// The typed value encoding, byte by byte.
class TFixtureBytes {
public:
    TFixtureBytes& Byte(uint8_t b);
    TFixtureBytes& Raw(std::string_view bytes);
    // The smallest integer type that holds the value (02, 03 or 04).
    TFixtureBytes& Int(int32_t value);
    // Strings up to 255 bytes as 06, longer ones as 0C.
    TFixtureBytes& Str(std::string_view text);
    TFixtureBytes& Bool(bool value);
    TFixtureBytes& Date(double value);
    TFixtureBytes& ListBegin() { return Byte(0x01); }
    TFixtureBytes& ListEnd() { return Byte(0x00); }
    TFixtureBytes& U32(uint32_t value);
    // A length byte, then the bytes (names inside object records).
    TFixtureBytes& Short(std::string_view text);

    const std::string& Bytes() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

// A picture as stored: no image class means an empty picture.
struct TFixturePicture {
    std::string ImageClass;
    std::string Data; // the class's data after its name
};

// A bitmap picture holding a tiny BMP-like payload with its byte count.
TFixturePicture FixtureBitmap(std::string_view bmp);

enum class TFixtureKind {
    Node,
    PVNode,
    Page,
    Application,
    PageWizard,
    URL,
    Element,
    ElementWizard,
    Wizard,
    Tool,
    File,
    Root,
};

// The name a record of the kind carries in a file of that version, empty
// where the version has none.
std::string FixtureClassName(TFixtureKind kind, int version);

// One node record's content. Fields a version does not store are ignored
// when writing it. The "Discarded..." values fill the slots the reader reads
// and throws away.
struct TFixtureNode {
    TFixtureKind Kind = TFixtureKind::Node;
    std::optional<std::string> ClassName; // overrides the version's name

    // TNode
    int32_t ID = 0;
    bool AllowChange = true;
    std::string Author;
    double CreationTime = 0.0;
    double ModificationTime = 0.0;

    // TPVNode
    std::string Title;
    int32_t Width = 0;
    int32_t Height = 0;
    std::string IconFilename;
    bool HasMenu = false;
    bool Scrollbars = true;
    int32_t PanelColor = 0;
    bool HideBrowser = false;
    TFixturePicture Icon;
    std::vector<std::string> OutlineText;

    // TPageNode, TElementNode
    std::string CSSFileName;
    std::string BaseUrl;
    std::string Source;
    int32_t ReservedSetting = 1;

    // TApplicationNode
    std::string FileName;
    bool CloseApplication = false;

    // wizard kinds
    std::string DLLFileName;
    std::string FuncName;
    std::string InParams;

    // TURLNode
    std::string Url;

    // TRootNode
    int32_t BgColor = 0;
    int32_t FontColor = 0;
    int32_t SelectionColor = 0;
    std::string ExtraText;
    std::string CustomerName;
    double Date = 0.0;
    std::string Participants;
    std::string Notes;
    int32_t DefaultView = 0;
    TFixturePicture Picture;
    TFixturePicture CollapsedGlyph;
    TFixturePicture ExpandedGlyph;

    int32_t DiscardedInteger = 0;
    bool DiscardedBoolean = false;
    std::string DiscardedString;

    // Page wizards of versions 1 to 3: the nested record that is their body
    // (at most one).
    std::vector<TFixtureNode> Body;
    std::vector<TFixtureNode> Children;
};

TFixtureNode FixtureNode(TFixtureKind kind);
// The smallest presentation: file node ID 1 above a root ID 2 titled "T"
// with the default button-face background and highlight selection colours.
TFixtureNode WorkedExampleFixture();

// The field part of a record (after the class name), for the version.
void WriteFixtureFields(TFixtureBytes& out, const TFixtureNode& node, int version);
// A whole node record: class name, fields, child list.
void WriteFixtureRecord(TFixtureBytes& out, const TFixtureNode& node, int version);
std::string FixtureRecord(const TFixtureNode& node, int version);

struct TFixtureTrailer {
    std::string Name = "TFileNodeEx";
    int32_t Count = 4;
    std::array<std::string, 6> Strings;
};

// "PV01".."PV09" as a string value.
std::string FixtureSignature(int version);
// Signature, the top record and, when given, the trailer.
std::string FixtureDocument(int version, const TFixtureNode& top,
                            std::optional<TFixtureTrailer> trailer = TFixtureTrailer{});

// The empty object record: "TPF0", "TCarrier", empty name, two closing zeros.
std::string EmptyObjectRecord();

// A presentation like the shipped samples, with a node of every kind the
// version can store: a root holding pages with children, a launcher, a
// link, a page wizard, an element and an element wizard, pictures and
// notes. Versions 8 and 9 have a file node with a trailer on top, older
// versions the root itself. Every value is one the program writes back
// unchanged, so the version 8 document round-trips to the same bytes.
TFixtureNode SampleLikeRoot();
std::string SampleLikeDocument(int version);

} // namespace pavilo::fixture
