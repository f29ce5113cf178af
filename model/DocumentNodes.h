#pragma once
// The two nodes that give a document its shape: TFileNode at the top, and a
// TRootNode for the presentation or for each tool tab of a toolbox.

#include <array>
#include <string>

#include "model/Node.h"
#include "model/Picture.h"
#include "model/StringList.h"

namespace pavilo {

enum TFileKind : uint8_t { fkOther = 0, fkToolbox = 1, fkPresentation = 2 };

class TFileNode : public TNode {
public:
    TNodeClass ClassId() const override { return TNodeClass::ncFileNode; }

    // Reserved1, Reserved2, Reserved3, ProductName, ProductVersion, FileVersion.
    static constexpr int ProvenanceCount = 6;
    const std::string& Provenance(int i) const { return m_provenance.at(static_cast<size_t>(i)); }
    void SetProvenance(int i, std::string value) { m_provenance.at(static_cast<size_t>(i)) = std::move(value); }
    const std::string& Reserved1() const { return m_provenance[0]; }
    const std::string& Reserved2() const { return m_provenance[1]; }
    const std::string& Reserved3() const { return m_provenance[2]; }
    const std::string& ProductName() const { return m_provenance[3]; }
    const std::string& ProductVersion() const { return m_provenance[4]; }
    const std::string& FileVersion() const { return m_provenance[5]; }
    // Empties the reserved strings and records the running program, as
    // every save does just before writing.
    void StampProvenance();

    const std::string& FileName() const { return m_fileName; }
    // Stores the name and derives Title and FileKind from it.
    void SetFileName(const std::string& name);
    const std::string& Title() const { return m_title; }
    uint8_t FileKind() const { return m_fileKind; }

    void AssignNode(const TNode* source) override;

private:
    std::array<std::string, ProvenanceCount> m_provenance;
    std::string m_fileName;
    std::string m_title;
    uint8_t m_fileKind = fkOther;
};

class TRootNode : public TNode {
public:
    TRootNode();
    TNodeClass ClassId() const override { return TNodeClass::ncRootNode; }

    TColor BgColor() const { return m_bgColor; }
    void SetBgColor(TColor v) { setGated(m_bgColor, v); }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor v) { setGated(m_fontColor, v); }
    TColor SelectionColor() const { return m_selectionColor; }
    void SetSelectionColor(TColor v) { setGated(m_selectionColor, v); }
    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& v) { setGated(m_title, v); }
    uint8_t DefaultView() const { return m_defaultView; }
    void SetDefaultView(uint8_t v) { setGated(m_defaultView, v); }
    const std::string& CustomerName() const { return m_customerName; }
    void SetCustomerName(const std::string& v) { setGated(m_customerName, v); }
    const std::string& Participants() const { return m_participants; }
    void SetParticipants(const std::string& v) { setGated(m_participants, v); }
    const std::u16string& Notes() const { return m_notes; }
    void SetNotes(const std::u16string& v) { setGated(m_notes, v); }
    TDateTime Date() const { return m_date; }
    void SetDate(TDateTime v) { setGated(m_date, v); }

    TPicture& Picture() { return m_picture; }
    const TPicture& Picture() const { return m_picture; }
    TPicture& CollapsedGlyph() { return m_collapsedGlyph; }
    const TPicture& CollapsedGlyph() const { return m_collapsedGlyph; }
    TPicture& ExpandedGlyph() { return m_expandedGlyph; }
    const TPicture& ExpandedGlyph() const { return m_expandedGlyph; }
    TStringList& ExtraText() { return m_extraText; }
    const TStringList& ExtraText() const { return m_extraText; }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

private:
    TColor m_bgColor = 0x8000000F;
    TPicture m_picture;
    TColor m_fontColor = 0;
    TColor m_selectionColor = 0;
    TPicture m_collapsedGlyph;
    TPicture m_expandedGlyph;
    std::string m_title = "TRootNode";
    TStringList m_extraText;
    std::string m_customerName;
    TDateTime m_date;
    std::string m_participants;
    std::u16string m_notes;
    uint8_t m_defaultView = 0;
};

} // namespace pavilo
