#pragma once
// What page scripts see of a node: INode, IPVNode and IPageNode.
//
// The facades neither own nor keep the node; they are made for one call.
// Writes go through the node's setters, so all but source are ignored when
// the node's AllowChange is false or the value is unchanged, and a write
// that takes effect marks the node modified and notifies its views.
// Strings are UTF-8 here; stored text that is not valid UTF-8 reads as
// Windows-1252.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ScriptExposure.h"
#include "model/Variant.h"
#include "web/ScriptValue.h"

namespace pavilo {

class TNode;
class TPVNode;
class TPageNode;

class INode {
public:
    explicit INode(TNode& node) : m_node(node) {}
    TNode* Parent() const;
    // Raises EListError outside 0 .. Count - 1.
    TNode* Items(uint32_t index) const;
    uint32_t Count() const;
    const TVariant& Tag() const;
    void SetTag(TVariant tag);
    int32_t Id() const;

protected:
    TNode& m_node;
};

class IPVNode : public INode {
public:
    explicit IPVNode(TPVNode& node);
    std::string Title() const;
    void SetTitle(const std::string& v);
    std::string IconFile() const;
    void SetIconFile(const std::string& v);
    bool Loop() const;
    void SetLoop(bool v);
    int32_t Width() const;
    void SetWidth(int32_t v);
    int32_t Height() const;
    void SetHeight(int32_t v);

protected:
    TPVNode& pv() const;
};

class IPageNode : public IPVNode {
public:
    explicit IPageNode(TPageNode& node);
    std::string Source() const;
    // Replaces all lines, whatever AllowChange says.
    void SetSource(const std::string& v);
    std::string CssFileName() const;
    void SetCssFileName(const std::string& v);

protected:
    TPageNode& page() const;
};

// Whether the node's kind exposes the member (script names compare
// without regard to case).
const TScriptMember* FindNodeMember(const TNode& node, std::string_view name);
// Reads a member by its script name; items takes one argument. Node
// results are handles of the per-run table. Raises EScriptError for a
// member the node does not have, or a wrong argument.
TScriptValue GetNodeMember(TNode& node, std::string_view name, const std::vector<TScriptValue>& args = {});
// Writes a member by its script name; raises EScriptError for a read-only or
// missing member, or a value that has no form of the member's type.
void SetNodeMember(TNode& node, std::string_view name, const TScriptValue& value);
// The node as a script value: a handle, or null for none.
TScriptValue NodeToScript(TNode* node);

} // namespace pavilo
