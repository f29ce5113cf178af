#include "web/ScriptHost.h"

#include <cctype>
#include <string>

#include "model/Node.h"
#include "web/External.h"
#include "web/NodeHandles.h"
#include "web/NodeInterfaces.h"

namespace pavilo {

namespace {

std::string lowerCopy(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const TScriptValue& firstArgument(const std::vector<TScriptValue>& args)
{
    if (args.empty())
        throw EScriptError("Invalid number of parameters");
    return args.front();
}

[[noreturn]] void noSuchMember()
{
    throw EScriptError("Object doesn't support this property or method");
}

} // namespace

TScriptHost::TScriptHost() : m_externalNode(TLinkOwnerKind::lokWindow, this) {}

TScriptHost::~TScriptHost() = default;

void TScriptHost::SetExternal(std::shared_ptr<TExternal> external)
{
    m_externalNode.SetTarget(nullptr);
    m_external = std::move(external);
}

void TScriptHost::SetExternalNode(TNode* node)
{
    m_external.reset();
    m_externalNode.SetTarget(node ? &node->NodeLink() : nullptr);
}

void TScriptHost::ClearExternal()
{
    m_external.reset();
    m_externalNode.SetTarget(nullptr);
}

bool TScriptHost::HasExternal() const
{
    return m_external || m_externalNode.GetNode();
}

TScriptValue TScriptHost::ExternalObject()
{
    if (m_external)
        return TScriptNodeRef{kExternalHandle, TScriptInterface::siNode};
    return NodeToScript(m_externalNode.GetNode());
}

TExternal& TScriptHost::external() const
{
    if (!m_external)
        throw EScriptError("There is no external object");
    return *m_external;
}

TScriptValue TScriptHost::Get(int32_t handle, std::string_view name)
{
    if (handle != kExternalHandle)
        return GetNodeMember(*TNodeHandles::Instance().LiveNodeOf(handle), name);
    TExternal& e = external();
    const std::string n = lowerCopy(name);
    if (n == "currentnode")
        return NodeToScript(e.CurrentNode());
    if (n == "prevnode")
        return NodeToScript(e.PrevNode());
    if (n == "nextnode")
        return NodeToScript(e.NextNode());
    if (n == "firstnode")
        return NodeToScript(e.FirstNode());
    if (n == "base")
        return e.Base();
    noSuchMember();
}

void TScriptHost::Set(int32_t handle, std::string_view name, const TScriptValue& value)
{
    if (handle != kExternalHandle) {
        SetNodeMember(*TNodeHandles::Instance().LiveNodeOf(handle), name, value);
        return;
    }
    external();
    throw EScriptError("Property '" + std::string(name) + "' is read-only");
}

TScriptValue TScriptHost::Call(int32_t handle, std::string_view name, const std::vector<TScriptValue>& args)
{
    if (handle != kExternalHandle)
        return GetNodeMember(*TNodeHandles::Instance().LiveNodeOf(handle), name, args);
    // The close request may end the view, and with it this host.
    const std::shared_ptr<TExternal> keep = m_external;
    TExternal& e = external();
    const std::string n = lowerCopy(name);
    if (n == "jumpto")
        e.JumpTo(firstArgument(args));
    else if (n == "href")
        e.Href(firstArgument(args));
    else if (n == "closebrowser")
        e.CloseBrowser();
    else
        noSuchMember();
    return std::monostate{};
}

} // namespace pavilo
