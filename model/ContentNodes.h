#pragma once
// The content nodes: pages, launchers, links, elements and the wizard-made
// kinds, all under TPVNode.

#include <string>

#include "model/Node.h"
#include "model/Picture.h"
#include "model/StringList.h"

namespace pavilo {

class TPVNode : public TNode {
public:
    TPVNode() : TPVNode(TNodeClass::ncPVNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncPVNode; }

    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& v) { setGated(m_title, v); }
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t v) { setGated(m_width, v); }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t v) { setGated(m_height, v); }
    const std::string& IconFilename() const { return m_iconFilename; }
    void SetIconFilename(const std::string& v) { setGated(m_iconFilename, v); }
    bool HasMenu() const { return m_hasMenu; }
    void SetHasMenu(bool v) { setGated(m_hasMenu, v); }
    bool Scrollbars() const { return m_scrollbars; }
    void SetScrollbars(bool v) { setGated(m_scrollbars, v); }
    TColor PanelColor() const { return m_panelColor; }
    bool HideBrowser() const { return m_hideBrowser; }
    TPicture& Icon() { return m_icon; }
    const TPicture& Icon() const { return m_icon; }
    TStringList& OutlineText() { return m_outlineText; }
    const TStringList& OutlineText() const { return m_outlineText; }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

protected:
    explicit TPVNode(TNodeClass cls);

private:
    std::string m_title;
    TPicture m_icon;
    TStringList m_outlineText;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::string m_iconFilename;
    bool m_hasMenu = false;
    bool m_scrollbars = true;
    TColor m_panelColor = 0;
    bool m_hideBrowser = false;
};

class TPageNode : public TPVNode {
public:
    TPageNode() : TPageNode(TNodeClass::ncPageNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncPageNode; }

    TStringList& Source() { return m_source; }
    const TStringList& Source() const { return m_source; }
    const std::string& CSSFileName() const { return m_cssFileName; }
    void SetCSSFileName(const std::string& v) { setGated(m_cssFileName, v); }
    const std::string& BaseUrl() const { return m_baseUrl; }
    void SetBaseUrl(const std::string& v) { setGated(m_baseUrl, v); }
    uint8_t ReservedSetting() const { return m_reservedSetting; }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

protected:
    explicit TPageNode(TNodeClass cls);

private:
    TStringList m_source;
    std::string m_cssFileName;
    std::string m_baseUrl;
    uint8_t m_reservedSetting = 1;
};

class TApplicationNode : public TPageNode {
public:
    TApplicationNode() : TPageNode(TNodeClass::ncApplicationNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncApplicationNode; }

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& v) { setGated(m_fileName, v); }
    bool CloseApplication() const { return m_closeApplication; }
    void SetCloseApplication(bool v) { setGated(m_closeApplication, v); }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

private:
    std::string m_fileName;
    bool m_closeApplication = false;
};

// The three settings every wizard-made kind carries, added to a base class.
template <class Base>
class TWizardSettings : public Base {
public:
    const std::string& DLLFileName() const { return m_dllFileName; }
    void SetDLLFileName(const std::string& v) { this->setGated(m_dllFileName, v); }
    const std::string& FuncName() const { return m_funcName; }
    void SetFuncName(const std::string& v) { this->setGated(m_funcName, v); }
    const std::string& InParams() const { return m_inParams; }
    void SetInParams(const std::string& v) { this->setGated(m_inParams, v); }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

protected:
    explicit TWizardSettings(TNodeClass cls) : Base(cls) {}
    void readSettings(TValueReader& stream);
    void copySettings(const TWizardSettings& other)
    {
        m_dllFileName = other.m_dllFileName;
        m_funcName = other.m_funcName;
        m_inParams = other.m_inParams;
    }

private:
    std::string m_dllFileName;
    std::string m_funcName;
    std::string m_inParams;
};

class TPageWizardNode : public TWizardSettings<TPageNode> {
public:
    TPageWizardNode() : TWizardSettings(TNodeClass::ncPageWizardNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncPageWizardNode; }
    void ReadFields(TValueReader& stream, int version) override;
};

class TURLNode : public TPVNode {
public:
    TURLNode() : TPVNode(TNodeClass::ncURLNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncURLNode; }

    const std::string& Url() const { return m_url; }
    void SetUrl(const std::string& v) { setGated(m_url, v); }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

private:
    std::string m_url;
};

class TElementNode : public TPVNode {
public:
    TElementNode() : TElementNode(TNodeClass::ncElementNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncElementNode; }

    TStringList& Source() { return m_source; }
    const TStringList& Source() const { return m_source; }

    void ReadFields(TValueReader& stream, int version) override;
    void WriteFields(TValueWriter& stream, int version) const override;
    void AssignNode(const TNode* source) override;

protected:
    explicit TElementNode(TNodeClass cls);

private:
    TStringList m_source;
};

class TElementWizardNode : public TWizardSettings<TElementNode> {
public:
    TElementWizardNode() : TWizardSettings(TNodeClass::ncElementWizardNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncElementWizardNode; }
};

// Read from files of versions 1 to 4 only.
class TWizardNode : public TWizardSettings<TPVNode> {
public:
    TWizardNode() : TWizardSettings(TNodeClass::ncWizardNode) {}
    TNodeClass ClassId() const override { return TNodeClass::ncWizardNode; }
};

// The top node of toolbox files of versions 1 to 4; the loader replaces it.
class TToolNode2 : public TPVNode {
public:
    TToolNode2() : TPVNode(TNodeClass::ncToolNode2) {}
    TNodeClass ClassId() const override { return TNodeClass::ncToolNode2; }
    const std::string& FileName() const { return m_fileName; }

private:
    std::string m_fileName;
};

} // namespace pavilo
