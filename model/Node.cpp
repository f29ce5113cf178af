#include "model/Node.h"

#include <algorithm>
#include <ctime>

#include "model/Exception.h"
#include "model/LinkInfo.h"
#include "model/NodeId.h"
#include "model/stream/ValueStream.h"
#include "transactions/TM.h"

namespace pavilo {

TDateTime CurrentDateTime()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    // Every new node asks; the zone offset is looked up once a second at most.
    static thread_local time_t lastSecs = -1;
    static thread_local long offset = 0;
    if (ts.tv_sec != lastSecs) {
        tm local{};
        localtime_r(&ts.tv_sec, &local);
        offset = local.tm_gmtoff;
        lastSecs = ts.tv_sec;
    }
    // Local wall-clock time as a day count since 1899-12-30.
    double localSecs = static_cast<double>(ts.tv_sec + offset) + static_cast<double>(ts.tv_nsec) / 1e9;
    return 25569.0 + localSecs / 86400.0;
}

TNode::TNode() : m_creationTime(CurrentDateTime()), m_modificationTime(m_creationTime), m_nodeLink(this) {}

TNode::~TNode()
{
    m_viewFlags |= vfDestroying;
    m_nodeLink.Release();
    while (!m_children.empty())
        delete m_children.front();
    detachFromParent();
}

void TNode::detachFromParent()
{
    if (!m_parent)
        return;
    TNode* old = m_parent;
    auto& siblings = old->m_children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    old->Changed();
    m_parent = nullptr;
}

void TNode::attachTo(TNode* newParent)
{
    m_parent = newParent;
    if (newParent) {
        newParent->m_children.push_back(this);
        newParent->Changed();
    }
}

void TNode::SetParent(TNode* newParent)
{
    if (newParent == m_parent)
        return;
    if (m_transactionManager && m_transactionManager->InTransaction()) {
        m_transactionManager->RecordSetParent(this, newParent);
        return;
    }
    detachFromParent();
    attachTo(newParent);
    if (m_parent)
        return;
    SetViewFlags(m_viewFlags & ~(vfSelected | vfFocused));
    if (Destroying())
        return;
    std::vector<TNode*> subtree;
    ForEachNode([&subtree](TNode* n) { subtree.push_back(n); });
    for (TNode* n : subtree)
        n->NodeLink().Notify(this, nkRemoved);
}

void TNode::SetIndex(int newIndex)
{
    // While recording, the manager decides: after a recorded parent step an
    // unchanged index is still the place to return to on undo.
    if (m_transactionManager && m_transactionManager->InTransaction()) {
        m_transactionManager->RecordSetIndex(this, newIndex);
        return;
    }
    if (newIndex == Index())
        return;
    if (!m_parent)
        return;
    auto& siblings = m_parent->m_children;
    if (newIndex < 0 || newIndex >= static_cast<int>(siblings.size()))
        throw EListError("List index out of bounds (" + std::to_string(newIndex) + ")");
    siblings.erase(siblings.begin() + Index());
    siblings.insert(siblings.begin() + newIndex, this);
    Changed();
}

int TNode::Index() const
{
    if (!m_parent)
        return -1;
    const auto& siblings = m_parent->m_children;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

TNode* TNode::Items(int i) const
{
    if (i < 0 || i >= Count())
        throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return m_children[static_cast<size_t>(i)];
}

TNode* TNode::NextSibling() const
{
    if (!m_parent)
        return nullptr;
    int i = Index() + 1;
    return i < m_parent->Count() ? m_parent->m_children[static_cast<size_t>(i)] : nullptr;
}

TNode* TNode::PrevSibling() const
{
    if (!m_parent)
        return nullptr;
    int i = Index() - 1;
    return i >= 0 ? m_parent->m_children[static_cast<size_t>(i)] : nullptr;
}

TNode* TNode::LastDescendant(TNode* n)
{
    while (n && n->HasChildren())
        n = n->m_children.back();
    return n;
}

TNode* TNode::PrevNode() const
{
    if (TNode* prev = PrevSibling())
        return LastDescendant(prev);
    return m_parent;
}

TNode* TNode::FindNode(int32_t id)
{
    if (m_id == id)
        return this;
    for (TNode* child : m_children)
        if (TNode* found = child->FindNode(id))
            return found;
    return nullptr;
}

void TNode::ForEachNode(const std::function<void(TNode*)>& callback)
{
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->ForEachNode(callback);
    callback(this);
}

bool TNode::IsChildOf(const TNode* node, const TNode* parent)
{
    return node && parent && node->m_parent == parent;
}

TNode* TNode::FindParentOfClass(TNode* node, TNodeClass c)
{
    while (node && !node->InheritsFrom(c))
        node = node->m_parent;
    return node;
}

void TNode::Changed()
{
    if (Destroying())
        return;
    if (!(m_viewFlags & vfViewChange))
        m_modified = true;
    m_nodeLink.Notify(this, nkChanged);
}

void TNode::SetModified(bool flag)
{
    if (flag)
        Changed();
    else
        m_modified = false;
}

void TNode::SetViewFlags(uint8_t flags)
{
    if (flags == m_viewFlags)
        return;
    m_viewFlags = flags | vfViewChange;
    Changed();
    m_viewFlags &= static_cast<uint8_t>(~vfViewChange);
}

void TNode::SetAllowChange(bool flag)
{
    if (flag != m_allowChange) {
        m_allowChange = flag;
        Changed();
    }
}

void TNode::SetAuthor(const std::string& text)
{
    if (text != m_author) {
        m_author = text;
        Changed();
    }
}

void TNode::SetTimes(TDateTime creation, TDateTime modification)
{
    m_creationTime = creation;
    m_modificationTime = modification;
}

TLinkCollection& TNode::Links()
{
    if (!m_links)
        m_links = std::make_unique<TLinkCollection>();
    return *m_links;
}

void TNode::ReadFields(TValueReader& stream, int version)
{
    if (version <= 4)
        return;
    m_id = stream.ReadInteger();
    m_allowChange = stream.ReadBoolean();
    if (version >= 6) {
        if (m_id == 0)
            m_id = NewNodeId();
        m_author = stream.ReadString();
        m_creationTime = stream.ReadDate();
        m_modificationTime = stream.ReadDate();
    }
}

void TNode::WriteFields(TValueWriter& stream, int) const
{
    stream.WriteInteger(m_id);
    stream.WriteBoolean(m_allowChange);
    stream.WriteString(m_author);
    stream.WriteDate(m_creationTime);
    stream.WriteDate(m_modificationTime);
}

void TNode::AssignNode(const TNode* source)
{
    if (!source)
        return;
    m_allowChange = source->m_allowChange;
    m_author = source->m_author;
    m_creationTime = source->m_creationTime;
    m_modificationTime = source->m_modificationTime;
    m_viewFlags = (m_viewFlags & vfDestroying) | (source->m_viewFlags & ~(vfDestroying | vfViewChange));
    if (source->m_links)
        Links().Assign(*source->m_links);
    else if (m_links)
        m_links->Clear();
}

} // namespace pavilo
