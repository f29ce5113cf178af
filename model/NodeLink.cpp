#include "model/NodeLink.h"

#include <algorithm>

#include "model/Node.h"

namespace pavilo {

// Marks a stack frame that still uses the link, so that a handler which
// destroys the link can be told apart from one that does not.
class TNodeLink::GuardScope {
public:
    explicit GuardScope(TNodeLink* link) : m_link(link)
    {
        m_guard.next = link->m_guards;
        link->m_guards = &m_guard;
    }
    ~GuardScope()
    {
        if (!m_guard.dead)
            m_link->m_guards = m_guard.next;
    }
    bool Dead() const { return m_guard.dead; }

private:
    TNodeLink* m_link;
    Guard m_guard;
};

TNodeLink::TNodeLink(TNode* ownerNode) : m_owner(ownerNode), m_ownerKind(TLinkOwnerKind::lokNode) {}

TNodeLink::TNodeLink(TLinkOwnerKind ownerKind, void* owner) : m_owner(owner), m_ownerKind(ownerKind) {}

TNodeLink::~TNodeLink()
{
    Release();
    for (Guard* g = m_guards; g; g = g->next)
        g->dead = true;
}

void TNodeLink::Release()
{
    if (m_released)
        return;
    m_released = true;
    m_owner = nullptr;
    if (m_ownerKind == TLinkOwnerKind::lokNode)
        m_ownerKind = TLinkOwnerKind::lokOther;
    OnChange = nullptr;
    OnBeforeChange = nullptr;
    GuardScope scope(this);
    SetTarget(nullptr);
    // Observers leave our list as they are retargeted; a handler may also
    // destroy other observers, which empties their slots.
    for (size_t i = 0; i < m_observers.size() && !scope.Dead(); ++i) {
        if (TNodeLink* observer = m_observers[i])
            observer->SetTarget(nullptr);
    }
    if (!scope.Dead())
        m_observers.clear();
}

TNode* TNodeLink::GetNode() const
{
    if (m_ownerKind == TLinkOwnerKind::lokNode && m_owner)
        return static_cast<TNode*>(m_owner);
    return m_target ? m_target->GetNode() : nullptr;
}

std::vector<TNodeLink*> TNodeLink::Observers() const
{
    std::vector<TNodeLink*> live;
    for (TNodeLink* o : m_observers)
        if (o)
            live.push_back(o);
    return live;
}

void TNodeLink::compact()
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), nullptr), m_observers.end());
}

void TNodeLink::notifyObservers(TNode* sender, TNodeNotifyKind kind)
{
    // Observers that join during the round are not told; those that leave
    // leave an empty slot, skipped here.
    const size_t count = m_observers.size();
    for (size_t i = 0; i < count && i < m_observers.size(); ++i) {
        TNodeLink* observer = m_observers[i];
        if (!observer)
            continue;
        if (kind == nkRetarget)
            observer->NotifyBefore(sender, kind);
        else
            observer->Notify(sender, kind);
    }
}

void TNodeLink::Notify(TNode* sender, TNodeNotifyKind kind)
{
    GuardScope scope(this);
    compact();
    notifyObservers(sender, kind);
    if (scope.Dead())
        return;
    if (OnChange) {
        THandler handler = OnChange; // the handler may replace itself
        handler(*this);
        if (scope.Dead())
            return;
    }
    if (kind == nkRemoved && m_ownerKind != TLinkOwnerKind::lokTransaction && m_ownerKind != TLinkOwnerKind::lokWindow) {
        TNode* node = GetNode();
        if (node && !node->Parent())
            SetTarget(nullptr);
    }
}

void TNodeLink::NotifyBefore(TNode* sender, TNodeNotifyKind kind)
{
    GuardScope scope(this);
    notifyObservers(sender, kind);
    if (scope.Dead())
        return;
    if (OnBeforeChange) {
        THandler handler = OnBeforeChange;
        handler(*this);
    }
}

void TNodeLink::SetTarget(TNodeLink* link)
{
    if (link == m_target)
        return;
    GuardScope scope(this);
    NotifyBefore(GetNode(), nkRetarget);
    if (scope.Dead())
        return;
    if (m_target) {
        auto& slots = m_target->m_observers;
        auto it = std::find(slots.begin(), slots.end(), this);
        if (it != slots.end())
            *it = nullptr;
    }
    m_target = link;
    if (m_target) {
        auto& slots = m_target->m_observers;
        if (std::find(slots.begin(), slots.end(), this) == slots.end())
            slots.push_back(this);
    }
    Notify(GetNode(), nkChanged);
}

} // namespace pavilo
