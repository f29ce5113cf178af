#include "web/NodeInterfaces.h"

#include <cctype>

#include "model/PVPObjModel.h"
#include "platform/text/TextCodec.h"
#include "web/NodeHandles.h"
#include "model/AsciiCase.h"

namespace pavilo {

TNode* INode::Parent() const
{
    return m_node.Parent();
}

TNode* INode::Items(uint32_t index) const
{
    if (index >= static_cast<uint32_t>(m_node.Count()))
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return m_node.Items(static_cast<int>(index));
}

uint32_t INode::Count() const
{
    return static_cast<uint32_t>(m_node.Count());
}

const TVariant& INode::Tag() const
{
    return m_node.Tag();
}

void INode::SetTag(TVariant tag)
{
    m_node.SetTag(std::move(tag));
}

int32_t INode::Id() const
{
    return m_node.ID();
}

IPVNode::IPVNode(TPVNode& node) : INode(node) {}

TPVNode& IPVNode::pv() const
{
    return static_cast<TPVNode&>(m_node);
}

std::string IPVNode::Title() const
{
    return text::ToUtf8(pv().Title());
}

void IPVNode::SetTitle(const std::string& v)
{
    pv().SetTitle(v);
}

std::string IPVNode::IconFile() const
{
    return text::ToUtf8(pv().IconFilename());
}

void IPVNode::SetIconFile(const std::string& v)
{
    pv().SetIconFilename(v);
}

bool IPVNode::Loop() const
{
    return pv().HasMenu();
}

void IPVNode::SetLoop(bool v)
{
    pv().SetHasMenu(v);
}

int32_t IPVNode::Width() const
{
    return pv().Width();
}

void IPVNode::SetWidth(int32_t v)
{
    pv().SetWidth(v);
}

int32_t IPVNode::Height() const
{
    return pv().Height();
}

void IPVNode::SetHeight(int32_t v)
{
    pv().SetHeight(v);
}

IPageNode::IPageNode(TPageNode& node) : IPVNode(node) {}

TPageNode& IPageNode::page() const
{
    return static_cast<TPageNode&>(m_node);
}

std::string IPageNode::Source() const
{
    return text::ToUtf8(page().Source().Text());
}

void IPageNode::SetSource(const std::string& v)
{
    page().Source().SetText(std::string_view(v));
}

std::string IPageNode::CssFileName() const
{
    return text::ToUtf8(page().CSSFileName());
}

void IPageNode::SetCssFileName(const std::string& v)
{
    page().SetCSSFileName(v);
}

namespace {

using TGetter = TScriptValue (*)(TNode&, const std::vector<TScriptValue>&);
using TSetter = void (*)(TNode&, const TScriptValue&);

struct TMemberBinding {
    std::string_view ScriptName;
    TGetter Get;
    TSetter Set; // none for read-only members
};

INode asNode(TNode& n)
{
    return INode(n);
}
IPVNode asPV(TNode& n)
{
    return IPVNode(static_cast<TPVNode&>(n));
}
IPageNode asPage(TNode& n)
{
    return IPageNode(static_cast<TPageNode&>(n));
}

uint32_t indexArgument(const std::vector<TScriptValue>& args)
{
    if (args.empty())
        throw EScriptError("Invalid number of parameters");
    return static_cast<uint32_t>(ScriptToInteger(args.front()));
}

// In the order of kScriptMembers.
constexpr TMemberBinding kBindings[] = {
    {"parent", [](TNode& n, const auto&) { return NodeToScript(asNode(n).Parent()); }, nullptr},
    {"items", [](TNode& n, const auto& a) { return NodeToScript(asNode(n).Items(indexArgument(a))); }, nullptr},
    {"count", [](TNode& n, const auto&) -> TScriptValue { return static_cast<int32_t>(asNode(n).Count()); }, nullptr},
    {"tag", [](TNode& n, const auto&) { return TagToScript(asNode(n).Tag()); },
     [](TNode& n, const TScriptValue& v) { asNode(n).SetTag(ScriptToTag(v)); }},
    {"id", [](TNode& n, const auto&) -> TScriptValue { return asNode(n).Id(); }, nullptr},
    {"title", [](TNode& n, const auto&) -> TScriptValue { return asPV(n).Title(); },
     [](TNode& n, const TScriptValue& v) { asPV(n).SetTitle(ScriptToString(v)); }},
    {"iconfile", [](TNode& n, const auto&) -> TScriptValue { return asPV(n).IconFile(); },
     [](TNode& n, const TScriptValue& v) { asPV(n).SetIconFile(ScriptToString(v)); }},
    {"loop", [](TNode& n, const auto&) -> TScriptValue { return asPV(n).Loop(); },
     [](TNode& n, const TScriptValue& v) { asPV(n).SetLoop(ScriptToBoolean(v)); }},
    {"width", [](TNode& n, const auto&) -> TScriptValue { return asPV(n).Width(); },
     [](TNode& n, const TScriptValue& v) { asPV(n).SetWidth(ScriptToInteger(v)); }},
    {"height", [](TNode& n, const auto&) -> TScriptValue { return asPV(n).Height(); },
     [](TNode& n, const TScriptValue& v) { asPV(n).SetHeight(ScriptToInteger(v)); }},
    {"source", [](TNode& n, const auto&) -> TScriptValue { return asPage(n).Source(); },
     [](TNode& n, const TScriptValue& v) { asPage(n).SetSource(ScriptToString(v)); }},
    {"cssfilename", [](TNode& n, const auto&) -> TScriptValue { return asPage(n).CssFileName(); },
     [](TNode& n, const TScriptValue& v) { asPage(n).SetCssFileName(ScriptToString(v)); }},
};
constexpr bool bindingsFollowTable()
{
    if (std::size(kBindings) != kScriptMembers.size())
        return false;
    for (size_t i = 0; i < kScriptMembers.size(); ++i)
        if (kBindings[i].ScriptName != kScriptMembers[i].ScriptName)
            return false;
    return true;
}
static_assert(bindingsFollowTable(), "one binding per member of the script table, in its order");

const TMemberBinding& bindingOf(const TNode& node, std::string_view name)
{
    const TScriptMember* member = FindNodeMember(node, name);
    if (!member)
        throw EScriptError("Object doesn't support this property or method");
    const TMemberBinding& binding = kBindings[member - kScriptMembers.data()];
    return binding;
}

} // namespace

const TScriptMember* FindNodeMember(const TNode& node, std::string_view name)
{
    const TScriptInterface exposed = ScriptInterfaceOf(node.ClassId());
    for (const TScriptMember& m : kScriptMembers)
        if (m.Interface <= exposed && EqualsIgnoringCase(m.ScriptName, name))
            return &m;
    return nullptr;
}

TScriptValue GetNodeMember(TNode& node, std::string_view name, const std::vector<TScriptValue>& args)
{
    return bindingOf(node, name).Get(node, args);
}

void SetNodeMember(TNode& node, std::string_view name, const TScriptValue& value)
{
    const TMemberBinding& binding = bindingOf(node, name);
    if (!binding.Set)
        throw EScriptError("Property '" + std::string(binding.ScriptName) + "' is read-only");
    binding.Set(node, value);
}

TScriptValue NodeToScript(TNode* node)
{
    if (!node)
        return TScriptNull{};
    return TScriptNodeRef{TNodeHandles::Instance().HandleOf(node), ScriptInterfaceOf(node->ClassId())};
}

} // namespace pavilo
