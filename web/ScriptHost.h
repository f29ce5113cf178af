#pragma once
// TScriptHost: the program side of one browser's window.external.
//
// A browser's External is a TExternal shared with the view that owns it, a
// node (the wizard page dialog), or none; it is read on every call. Scripts
// reach the TExternal as handle 0 and nodes by the handles of the per-run
// table, so a script never keeps a node alive, and a destroyed node answers
// with EScriptError. Member names compare without regard to case.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "model/NodeLink.h"
#include "web/ScriptValue.h"

namespace pavilo {

class TExternal;
class TNode;

class TScriptHost {
public:
    static constexpr int32_t kExternalHandle = 0;

    TScriptHost();
    ~TScriptHost();
    TScriptHost(const TScriptHost&) = delete;
    TScriptHost& operator=(const TScriptHost&) = delete;

    void SetExternal(std::shared_ptr<TExternal> external);
    // The node itself is the script object; the host follows it through a
    // link and never owns it.
    void SetExternalNode(TNode* node);
    void ClearExternal();
    bool HasExternal() const;
    const std::shared_ptr<TExternal>& External() const { return m_external; }
    TNode* ExternalNode() const { return m_externalNode.GetNode(); }

    // What window.external is: handle 0 for a TExternal, a node, or null.
    TScriptValue ExternalObject();

    TScriptValue Get(int32_t handle, std::string_view name);
    void Set(int32_t handle, std::string_view name, const TScriptValue& value);
    TScriptValue Call(int32_t handle, std::string_view name, const std::vector<TScriptValue>& args);

private:
    TExternal& external() const;

    std::shared_ptr<TExternal> m_external;
    TNodeLink m_externalNode;
};

} // namespace pavilo
