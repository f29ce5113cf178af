#include "model/DocumentNodes.h"

#include <cmath>
#include <cstdio>
#include <strings.h>

#include "PaviloVersion.h"
#include "model/ContentNodes.h"
#include "model/stream/ObjectRecord.h"
#include "model/stream/ValueStream.h"
#include "platform/text/TextCodec.h"

namespace pavilo {

// ---- TFileNode

void TFileNode::StampProvenance()
{
    m_provenance[0].clear();
    m_provenance[1].clear();
    m_provenance[2].clear();
    m_provenance[3] = version::ProductName;
    m_provenance[4] = version::ProductVersion;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", version::FileVersion[0], version::FileVersion[1],
                  version::FileVersion[2], version::FileVersion[3]);
    m_provenance[5] = buf;
}

void TFileNode::SetFileName(const std::string& name)
{
    m_fileName = name;
    size_t slash = name.find_last_of('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
    m_title = dot == std::string::npos ? base : base.substr(0, dot);
    if (strcasecmp(ext.c_str(), ".pvp") == 0)
        m_fileKind = fkPresentation;
    else if (strcasecmp(ext.c_str(), ".pvt") == 0)
        m_fileKind = fkToolbox;
    else
        m_fileKind = fkOther;
}

void TFileNode::AssignNode(const TNode* source)
{
    TNode::AssignNode(source);
    if (const auto* file = dynamic_cast<const TFileNode*>(source)) {
        m_provenance = file->m_provenance;
        m_fileName = file->m_fileName;
        m_title = file->m_title;
        m_fileKind = file->m_fileKind;
    }
}

// ---- TRootNode

TRootNode::TRootNode() : m_date(std::floor(CurrentDateTime()))
{
    for (TPicture* p : {&m_picture, &m_collapsedGlyph, &m_expandedGlyph})
        p->OnChange = changedHandler();
    m_extraText.OnChange = changedHandler();
}

void TRootNode::ReadFields(TValueReader& stream, int version)
{
    if (version <= 4) {
        // The oldest roots carried a whole content node; only its title is kept.
        TPVNode scratch;
        scratch.ReadFields(stream, version);
        m_title = scratch.Title();
        m_bgColor = static_cast<TColor>(stream.ReadInteger());
        m_fontColor = static_cast<TColor>(stream.ReadInteger());
        m_selectionColor = static_cast<TColor>(stream.ReadInteger());
    } else {
        TNode::ReadFields(stream, version);
        m_bgColor = static_cast<TColor>(stream.ReadInteger());
        m_fontColor = static_cast<TColor>(stream.ReadInteger());
        m_selectionColor = static_cast<TColor>(stream.ReadInteger());
        m_title = stream.ReadString();
        if (version >= 6) {
            stream.ReadInteger();
            m_extraText.SetText(stream.ReadString());
        }
        if (version >= 7) {
            stream.ReadString();
            m_customerName = stream.ReadString();
            m_date = stream.ReadDate();
            m_participants = stream.ReadString();
            m_notes = text::ToUtf16(stream.ReadString());
        }
    }
    m_defaultView = version >= 8 ? static_cast<uint8_t>(stream.ReadInteger() & 0xFF) : 1;
    ReadPictureRecord(stream, m_picture);
    ReadPictureRecord(stream, m_collapsedGlyph);
    ReadPictureRecord(stream, m_expandedGlyph);
}

void TRootNode::WriteFields(TValueWriter& stream, int version) const
{
    TNode::WriteFields(stream, version);
    stream.WriteInteger(static_cast<int32_t>(m_bgColor));
    stream.WriteInteger(static_cast<int32_t>(m_fontColor));
    stream.WriteInteger(static_cast<int32_t>(m_selectionColor));
    stream.WriteString(m_title);
    stream.WriteInteger(0);
    stream.WriteString(m_extraText.Text());
    stream.WriteString("");
    stream.WriteString(m_customerName);
    stream.WriteDate(m_date);
    stream.WriteString(m_participants);
    stream.WriteString(text::FromUtf16(m_notes));
    stream.WriteInteger(m_defaultView);
    WritePictureRecord(stream, m_picture);
    WritePictureRecord(stream, m_collapsedGlyph);
    WritePictureRecord(stream, m_expandedGlyph);
}

void TRootNode::AssignNode(const TNode* source)
{
    TNode::AssignNode(source);
    const auto* root = dynamic_cast<const TRootNode*>(source);
    if (!root)
        return;
    m_bgColor = root->m_bgColor;
    m_picture.Assign(root->m_picture);
    m_fontColor = root->m_fontColor;
    m_title = root->m_title;
    m_selectionColor = root->m_selectionColor;
    m_collapsedGlyph.Assign(root->m_collapsedGlyph);
    m_expandedGlyph.Assign(root->m_expandedGlyph);
    m_defaultView = root->m_defaultView;
}

} // namespace pavilo
