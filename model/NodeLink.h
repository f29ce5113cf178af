#pragma once
// TNodeLink: the observer link through which views, undo operations and the
// script object follow a node.
//
// Every node owns one link (its NodeLink); observers create their own link
// and attach it with SetTarget. A link never owns the node it stands for.
// When the node goes, its link is destroyed and every observer is retargeted
// to none, so GetNode of an observer is none from then on. Handlers may
// destroy the very link that calls them; the link notices and stops touching
// itself.

#include <functional>
#include <vector>

namespace pavilo {

class TNode;

enum TNodeNotifyKind : int { nkChanged = 0, nkRemoved = 2, nkRetarget = 3 };

// What kind of object created a link; decides whether the link lets go of a
// removed node by itself (see Notify).
enum class TLinkOwnerKind { lokNode, lokTransaction, lokWindow, lokOther };

class TNodeLink {
public:
    using THandler = std::function<void(TNodeLink&)>;

    // The own link of a node.
    explicit TNodeLink(TNode* ownerNode);
    // A link of a view (lokWindow), an undo operation (lokTransaction) or
    // another object.
    explicit TNodeLink(TLinkOwnerKind ownerKind, void* owner = nullptr);
    TNodeLink(const TNodeLink&) = delete;
    TNodeLink& operator=(const TNodeLink&) = delete;
    virtual ~TNodeLink();

    virtual void Notify(TNode* sender, TNodeNotifyKind kind);
    virtual void NotifyBefore(TNode* sender, TNodeNotifyKind kind);

    void SetTarget(TNodeLink* link);
    TNodeLink* Target() const { return m_target; }
    // The owner node, else the node of the target, else none.
    TNode* GetNode() const;

    void* Owner() const { return m_owner; }
    TLinkOwnerKind OwnerKind() const { return m_ownerKind; }
    // Live observers, in attachment order (empty slots left out).
    std::vector<TNodeLink*> Observers() const;

    THandler OnChange;
    THandler OnBeforeChange;

    // Tears the link down as its destruction does; the node calls this
    // first thing when it is destroyed. Idempotent.
    void Release();

private:
    struct Guard {
        bool dead = false;
        Guard* next = nullptr;
    };
    class GuardScope;
    void notifyObservers(TNode* sender, TNodeNotifyKind kind);
    void compact();

    void* m_owner;
    TLinkOwnerKind m_ownerKind;
    TNodeLink* m_target = nullptr;
    std::vector<TNodeLink*> m_observers;
    Guard* m_guards = nullptr;
    bool m_released = false;
};

} // namespace pavilo
