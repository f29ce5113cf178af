#pragma once
// The node classes as data: their names in each format version, their bases,
// and creation by class.

#include <memory>
#include <optional>
#include <string_view>

namespace pavilo {

class TNode;

enum class TNodeClass {
    ncNode,
    ncPVNode,
    ncPageNode,
    ncApplicationNode,
    ncPageWizardNode,
    ncURLNode,
    ncElementNode,
    ncElementWizardNode,
    ncWizardNode,
    ncToolNode2,
    ncFileNode,
    ncRootNode,
};

// The class name in memory and in files of versions 5 to 9 ("TPageNode").
std::string_view NodeClassName(TNodeClass c);
std::optional<TNodeClass> BaseClass(TNodeClass c);
bool ClassInheritsFrom(TNodeClass c, TNodeClass base);

// The name a record of this class carries in a file of that version, none
// when the version has no name for it.
std::optional<std::string_view> StoredClassName(TNodeClass c, int version);
// The class a stored name stands for in that version, none when unknown.
std::optional<TNodeClass> ClassFromStoredName(std::string_view name, int version);

std::unique_ptr<TNode> CreateNode(TNodeClass c);

} // namespace pavilo
