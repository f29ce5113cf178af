#include "model/NodeClass.h"

#include <array>

#include "model/ContentNodes.h"
#include "model/DocumentNodes.h"

namespace pavilo {

namespace {

struct ClassInfo {
    TNodeClass cls;
    std::optional<TNodeClass> base;
    std::string_view name;    // in memory, and in files of versions 5 to 9
    std::string_view oldName; // in files of versions 1 to 4
    bool stored;              // has a name in versions 5 to 9
};

using C = TNodeClass;
constexpr std::array<ClassInfo, 12> kClasses = {{
    {C::ncNode, std::nullopt, "TNode", "TNodeData", true},
    {C::ncPVNode, C::ncNode, "TPVNode", "TPVNodeData", true},
    {C::ncPageNode, C::ncPVNode, "TPageNode", "TDocumentData", true},
    {C::ncApplicationNode, C::ncPageNode, "TApplicationNode", "TApplicationData", true},
    {C::ncPageWizardNode, C::ncPageNode, "TPageWizardNode", "TDocumentWizard", true},
    {C::ncURLNode, C::ncPVNode, "TURLNode", "TURLData", true},
    {C::ncElementNode, C::ncPVNode, "TElementNode", "TElementData", true},
    {C::ncElementWizardNode, C::ncElementNode, "TElementWizardNode", "TElementWizard", true},
    {C::ncWizardNode, C::ncPVNode, "TWizardNode", "TWizardData", false},
    {C::ncToolNode2, C::ncPVNode, "TToolNode2", "TToolData", false},
    {C::ncFileNode, C::ncNode, "TFileNode", "", true},
    {C::ncRootNode, C::ncNode, "TRootNode", "TRootData", true},
}};

const ClassInfo& info(TNodeClass c)
{
    return kClasses[static_cast<size_t>(c)];
}

} // namespace

std::string_view NodeClassName(TNodeClass c)
{
    return info(c).name;
}

std::optional<TNodeClass> BaseClass(TNodeClass c)
{
    return info(c).base;
}

bool ClassInheritsFrom(TNodeClass c, TNodeClass base)
{
    for (std::optional<TNodeClass> k = c; k; k = info(*k).base)
        if (*k == base)
            return true;
    return false;
}

std::optional<std::string_view> StoredClassName(TNodeClass c, int version)
{
    const ClassInfo& ci = info(c);
    if (version <= 4)
        return ci.oldName.empty() ? std::nullopt : std::optional(ci.oldName);
    return ci.stored ? std::optional(ci.name) : std::nullopt;
}

std::optional<TNodeClass> ClassFromStoredName(std::string_view name, int version)
{
    for (const ClassInfo& ci : kClasses)
        if (StoredClassName(ci.cls, version) == name)
            return ci.cls;
    return std::nullopt;
}

std::unique_ptr<TNode> CreateNode(TNodeClass c)
{
    switch (c) {
    case C::ncNode: return std::make_unique<TNode>();
    case C::ncPVNode: return std::make_unique<TPVNode>();
    case C::ncPageNode: return std::make_unique<TPageNode>();
    case C::ncApplicationNode: return std::make_unique<TApplicationNode>();
    case C::ncPageWizardNode: return std::make_unique<TPageWizardNode>();
    case C::ncURLNode: return std::make_unique<TURLNode>();
    case C::ncElementNode: return std::make_unique<TElementNode>();
    case C::ncElementWizardNode: return std::make_unique<TElementWizardNode>();
    case C::ncWizardNode: return std::make_unique<TWizardNode>();
    case C::ncToolNode2: return std::make_unique<TToolNode2>();
    case C::ncFileNode: return std::make_unique<TFileNode>();
    case C::ncRootNode: return std::make_unique<TRootNode>();
    }
    return nullptr;
}

} // namespace pavilo
