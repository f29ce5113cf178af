#include "model/ContentNodes.h"

#include "model/stream/ObjectRecord.h"
#include "model/stream/StrmPers.h"
#include "model/stream/ValueStream.h"

namespace pavilo {

namespace {
template <class T>
const T* sameClass(const TNode* source)
{
    return dynamic_cast<const T*>(source);
}
} // namespace

// ---- TPVNode

TPVNode::TPVNode(TNodeClass cls) : m_title(NodeClassName(cls))
{
    m_icon.OnChange = changedHandler();
    m_outlineText.OnChange = changedHandler();
}

void TPVNode::ReadFields(TValueReader& stream, int version)
{
    TNode::ReadFields(stream, version);
    m_title = stream.ReadString();
    if (version <= 4)
        stream.ReadInteger();
    m_width = stream.ReadInteger();
    m_height = stream.ReadInteger();
    m_iconFilename = stream.ReadString();
    m_hasMenu = stream.ReadBoolean();
    if (version <= 4)
        SetAllowChange(stream.ReadBoolean());
    if (version >= 3) {
        m_scrollbars = stream.ReadBoolean();
        m_panelColor = static_cast<TColor>(stream.ReadInteger());
    }
    if (version >= 6)
        m_hideBrowser = stream.ReadBoolean();
    ReadPictureRecord(stream, m_icon);
    ReadStringsRecord(stream, m_outlineText);
    // A page of fixed size never shows scroll bars in the show.
    if (m_width != 0 && m_height != 0)
        m_scrollbars = false;
}

void TPVNode::WriteFields(TValueWriter& stream, int version) const
{
    TNode::WriteFields(stream, version);
    stream.WriteString(m_title);
    stream.WriteInteger(m_width);
    stream.WriteInteger(m_height);
    stream.WriteString(m_iconFilename);
    stream.WriteBoolean(m_hasMenu);
    stream.WriteBoolean(m_scrollbars);
    stream.WriteInteger(static_cast<int32_t>(m_panelColor));
    stream.WriteBoolean(m_hideBrowser);
    WritePictureRecord(stream, m_icon);
    WriteStringsRecord(stream, m_outlineText);
}

void TPVNode::AssignNode(const TNode* source)
{
    TNode::AssignNode(source);
    const auto* pv = sameClass<TPVNode>(source);
    if (!pv)
        return;
    m_title = pv->m_title;
    m_icon.Assign(pv->m_icon);
    m_outlineText.Assign(pv->m_outlineText);
    m_width = pv->m_width;
    m_height = pv->m_height;
    m_iconFilename = pv->m_iconFilename;
    m_hasMenu = pv->m_hasMenu;
    m_scrollbars = pv->m_scrollbars;
    m_panelColor = pv->m_panelColor;
    m_hideBrowser = pv->m_hideBrowser;
}

// ---- TPageNode

TPageNode::TPageNode(TNodeClass cls) : TPVNode(cls)
{
    m_source.OnChange = changedHandler();
}

void TPageNode::ReadFields(TValueReader& stream, int version)
{
    TPVNode::ReadFields(stream, version);
    m_cssFileName = stream.ReadString();
    if (version >= 2)
        m_baseUrl = stream.ReadString();
    m_source.SetText(stream.ReadString());
    if (version >= 6) {
        stream.ReadBoolean();
        stream.ReadInteger();
        m_reservedSetting = static_cast<uint8_t>(stream.ReadInteger() & 0xFF);
        if (m_reservedSetting == 0)
            m_reservedSetting = 1;
    }
    SetModified(false);
}

void TPageNode::WriteFields(TValueWriter& stream, int version) const
{
    TPVNode::WriteFields(stream, version);
    stream.WriteString(m_cssFileName);
    stream.WriteString(m_baseUrl);
    stream.WriteString(m_source.Text());
    stream.WriteBoolean(false);
    stream.WriteInteger(0);
    stream.WriteInteger(m_reservedSetting);
}

void TPageNode::AssignNode(const TNode* source)
{
    TPVNode::AssignNode(source);
    const auto* page = sameClass<TPageNode>(source);
    if (!page)
        return;
    m_source.Assign(page->m_source);
    m_cssFileName = page->m_cssFileName;
    m_baseUrl = page->m_baseUrl;
    m_reservedSetting = page->m_reservedSetting;
}

// ---- TApplicationNode

void TApplicationNode::ReadFields(TValueReader& stream, int version)
{
    TPageNode::ReadFields(stream, version);
    m_fileName = stream.ReadString();
    m_closeApplication = stream.ReadBoolean();
}

void TApplicationNode::WriteFields(TValueWriter& stream, int version) const
{
    TPageNode::WriteFields(stream, version);
    stream.WriteString(m_fileName);
    stream.WriteBoolean(m_closeApplication);
}

void TApplicationNode::AssignNode(const TNode* source)
{
    TPageNode::AssignNode(source);
    if (const auto* app = sameClass<TApplicationNode>(source)) {
        m_fileName = app->m_fileName;
        m_closeApplication = app->m_closeApplication;
    }
}

// ---- wizard settings

template <class Base>
void TWizardSettings<Base>::readSettings(TValueReader& stream)
{
    m_dllFileName = stream.ReadString();
    m_funcName = stream.ReadString();
    m_inParams = stream.ReadString();
}

template <class Base>
void TWizardSettings<Base>::ReadFields(TValueReader& stream, int version)
{
    Base::ReadFields(stream, version);
    readSettings(stream);
}

template <class Base>
void TWizardSettings<Base>::WriteFields(TValueWriter& stream, int version) const
{
    Base::WriteFields(stream, version);
    stream.WriteString(m_dllFileName);
    stream.WriteString(m_funcName);
    stream.WriteString(m_inParams);
}

template <class Base>
void TWizardSettings<Base>::AssignNode(const TNode* source)
{
    Base::AssignNode(source);
    if (const auto* wizard = sameClass<TWizardSettings<Base>>(source))
        copySettings(*wizard);
}

template class TWizardSettings<TPageNode>;
template class TWizardSettings<TElementNode>;
template class TWizardSettings<TPVNode>;

void TPageWizardNode::ReadFields(TValueReader& stream, int version)
{
    if (version >= 4) {
        TWizardSettings::ReadFields(stream, version);
        return;
    }
    // Early page wizards held a whole wizard record as their body; only its
    // three settings survive, the page fields keep their defaults.
    std::unique_ptr<TNode> body = ReadNodeRecord(stream, nullptr);
    if (const auto* wizard = sameClass<TWizardNode>(body.get())) {
        SetDLLFileName(wizard->DLLFileName());
        SetFuncName(wizard->FuncName());
        SetInParams(wizard->InParams());
    }
}

// ---- TURLNode

void TURLNode::ReadFields(TValueReader& stream, int version)
{
    TPVNode::ReadFields(stream, version);
    m_url = stream.ReadString();
}

void TURLNode::WriteFields(TValueWriter& stream, int version) const
{
    TPVNode::WriteFields(stream, version);
    stream.WriteString(m_url);
}

void TURLNode::AssignNode(const TNode* source)
{
    TPVNode::AssignNode(source);
    if (const auto* url = sameClass<TURLNode>(source))
        m_url = url->m_url;
}

// ---- TElementNode

TElementNode::TElementNode(TNodeClass cls) : TPVNode(cls)
{
    m_source.OnChange = changedHandler();
}

void TElementNode::ReadFields(TValueReader& stream, int version)
{
    TPVNode::ReadFields(stream, version);
    m_source.SetText(stream.ReadString());
}

void TElementNode::WriteFields(TValueWriter& stream, int version) const
{
    TPVNode::WriteFields(stream, version);
    stream.WriteString(m_source.Text());
}

void TElementNode::AssignNode(const TNode* source)
{
    TPVNode::AssignNode(source);
    if (const auto* element = sameClass<TElementNode>(source))
        m_source.Assign(element->m_source);
}

} // namespace pavilo
