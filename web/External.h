#pragma once
// TExternal: the script object of a browser view, its pages' window.external.
//
// The hosting view owns the object and attaches its NodeLink to the view's
// own link; the link's node is the script's current node, and the members
// answer for the moment of the call. The link belongs to the view's object
// for the view's whole life, so it keeps following the view's link when the
// shown node leaves the tree. Failures raise EScriptError, which the
// browser hands to the script as an exception; nothing changes then.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "model/NodeLink.h"
#include "web/ScriptValue.h"

namespace pavilo {

class TNode;

enum class TExternalMemberKind { emProperty, emMethod };

struct TExternalMember {
    int DispId;
    std::string_view ScriptName;
    TExternalMemberKind Kind;
};

// IExternal in slot order.
inline constexpr std::array<TExternalMember, 8> kExternalMembers = {{
    {1, "currentNode", TExternalMemberKind::emProperty},
    {2, "prevNode", TExternalMemberKind::emProperty},
    {3, "nextNode", TExternalMemberKind::emProperty},
    {4, "jumpTo", TExternalMemberKind::emMethod},
    {5, "closeBrowser", TExternalMemberKind::emMethod},
    {6, "firstNode", TExternalMemberKind::emProperty},
    {7, "base", TExternalMemberKind::emProperty},
    {8, "href", TExternalMemberKind::emMethod},
}};

class TExternal {
public:
    TExternal();
    TExternal(const TExternal&) = delete;
    TExternal& operator=(const TExternal&) = delete;

    TNodeLink& NodeLink() { return m_nodeLink; }
    // Called by closeBrowser; the show player sets it to close itself.
    std::function<void(TExternal&)> OnCloseRequest;

    TNode* CurrentNode() const { return m_nodeLink.GetNode(); }
    // NextInShow, PrevInShow and FirstInShow of the current node.
    TNode* NextNode() const;
    TNode* PrevNode() const;
    TNode* FirstNode() const;
    // The root URL of the document protocol.
    std::string Base() const;
    // Moves the selected and focused marks from the current node to the
    // node named; an id that no node has only clears them. Raises without
    // a current node.
    void JumpTo(const TScriptValue& v);
    // Composes the named node's page into the page buffer; nothing
    // navigates. Raises without a current node.
    void Href(const TScriptValue& v);
    void CloseBrowser();

private:
    TNode* requireCurrent() const;
    TNodeLink m_nodeLink;
};

} // namespace pavilo
