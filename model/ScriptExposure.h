#pragma once
// What page scripts see of a node: the members of INode, IPVNode and
// IPageNode and the node fields behind them, as data for the script host.

#include <array>
#include <string_view>

#include "model/NodeClass.h"

namespace pavilo {

enum class TScriptInterface { siNode, siPVNode, siPageNode };
enum class TScriptAccess { saRead, saReadWrite };

struct TScriptMember {
    TScriptInterface Interface;
    std::string_view ScriptName;
    TScriptAccess Access;
    std::string_view Field; // the node field or operation behind it
    bool Gated;             // a write goes through the AllowChange-gated setter
};

inline constexpr std::array<TScriptMember, 12> kScriptMembers = {{
    {TScriptInterface::siNode, "parent", TScriptAccess::saRead, "Parent", false},
    {TScriptInterface::siNode, "items", TScriptAccess::saRead, "Items", false},
    {TScriptInterface::siNode, "count", TScriptAccess::saRead, "Count", false},
    {TScriptInterface::siNode, "tag", TScriptAccess::saReadWrite, "Tag", false},
    {TScriptInterface::siNode, "id", TScriptAccess::saRead, "ID", false},
    {TScriptInterface::siPVNode, "title", TScriptAccess::saReadWrite, "Title", true},
    {TScriptInterface::siPVNode, "iconfile", TScriptAccess::saReadWrite, "IconFilename", true},
    {TScriptInterface::siPVNode, "loop", TScriptAccess::saReadWrite, "HasMenu", true},
    {TScriptInterface::siPVNode, "width", TScriptAccess::saReadWrite, "Width", true},
    {TScriptInterface::siPVNode, "height", TScriptAccess::saReadWrite, "Height", true},
    {TScriptInterface::siPageNode, "source", TScriptAccess::saReadWrite, "Source", false},
    {TScriptInterface::siPageNode, "cssfilename", TScriptAccess::saReadWrite, "CSSFileName", true},
}};

// The interface a node of the class is exposed as; each interface includes
// the members of those before it.
constexpr TScriptInterface ScriptInterfaceOf(TNodeClass c)
{
    switch (c) {
    case TNodeClass::ncNode:
    case TNodeClass::ncFileNode:
    case TNodeClass::ncRootNode:
        return TScriptInterface::siNode;
    case TNodeClass::ncPageNode:
    case TNodeClass::ncApplicationNode:
    case TNodeClass::ncPageWizardNode:
        return TScriptInterface::siPageNode;
    default:
        return TScriptInterface::siPVNode;
    }
}

} // namespace pavilo
