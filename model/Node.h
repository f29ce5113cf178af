#pragma once
// TNode: the base of every node of a document tree.
//
// Ownership: a node owns its children, its NodeLink and its Links. Deleting a
// node deletes its subtree and detaches it from its parent. A detached node
// belongs to whoever detached it (the undo history, or the code moving it).
// Tree and property operations never fail, apart from Items and SetIndex with
// an index outside the sibling range (EListError).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/NodeClass.h"
#include "model/NodeLink.h"
#include "model/Variant.h"

namespace pavilo {

class TLinkCollection;
class TTransactionManager;
class TValueReader;
class TValueWriter;

using TDateTime = double; // days since 1899-12-30, time of day as the fraction
using TColor = uint32_t;  // 0x00BBGGRR, or 0x80000000 plus a system colour index

// ViewFlags bits.
enum : uint8_t {
    vfDestroying = 0x01,
    vfSelected = 0x02,
    vfFocused = 0x04,
    vfExpanded = 0x08,
    vfViewChange = 0x40,
};

TDateTime CurrentDateTime();

class TNode {
public:
    TNode();
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;
    virtual ~TNode();

    virtual TNodeClass ClassId() const { return TNodeClass::ncNode; }
    std::string_view ClassName() const { return NodeClassName(ClassId()); }
    bool InheritsFrom(TNodeClass c) const { return ClassInheritsFrom(ClassId(), c); }

    // Tree structure
    TNode* Parent() const { return m_parent; }
    const std::vector<TNode*>& Children() const { return m_children; }
    void SetParent(TNode* newParent);
    void SetIndex(int newIndex);
    int Index() const;
    int Count() const { return static_cast<int>(m_children.size()); }
    TNode* Items(int i) const;
    bool HasChildren() const { return !m_children.empty(); }
    TNode* FirstChild() const { return m_children.empty() ? nullptr : m_children.front(); }
    TNode* NextSibling() const;
    TNode* PrevSibling() const;
    static TNode* LastDescendant(TNode* n);
    TNode* PrevNode() const;
    TNode* FindNode(int32_t id);
    // Post-order: each child's subtree in order, the node itself last.
    void ForEachNode(const std::function<void(TNode*)>& callback);
    static bool IsChildOf(const TNode* node, const TNode* parent);
    static TNode* FindParentOfClass(TNode* node, TNodeClass c);

    // State and values
    virtual void Changed();
    bool Modified() const { return m_modified; }
    void SetModified(bool flag);
    uint8_t ViewFlags() const { return m_viewFlags; }
    void SetViewFlags(uint8_t flags);
    bool Destroying() const { return (m_viewFlags & vfDestroying) != 0; }

    int32_t ID() const { return m_id; }
    void SetID(int32_t id) { m_id = id; } // identity is set by the editing code, never a change
    bool AllowChange() const { return m_allowChange; }
    void SetAllowChange(bool flag);
    const std::string& Author() const { return m_author; }
    void SetAuthor(const std::string& text);
    TDateTime CreationTime() const { return m_creationTime; }
    TDateTime ModificationTime() const { return m_modificationTime; }
    void SetTimes(TDateTime creation, TDateTime modification);
    const TVariant& Tag() const { return m_tag; }
    void SetTag(TVariant tag) { m_tag = std::move(tag); }

    TTransactionManager* TransactionManager() const { return m_transactionManager; }
    void SetTransactionManager(TTransactionManager* tm) { m_transactionManager = tm; }

    TNodeLink& NodeLink() { return m_nodeLink; }
    TLinkCollection& Links();
    bool HasLinks() const { return m_links != nullptr; }

    // Stream fields of this class and its bases, for the version in force.
    virtual void ReadFields(TValueReader& stream, int version);
    virtual void WriteFields(TValueWriter& stream, int version) const;
    // Copies the settings of another node (never identity or place).
    virtual void AssignNode(const TNode* source);

protected:
    // Property setters share this: store when allowed and different, then Changed.
    template <typename T, typename V>
    void setGated(T& field, V&& value)
    {
        if (m_allowChange && !(field == value)) {
            field = std::forward<V>(value);
            Changed();
        }
    }
    std::function<void()> changedHandler()
    {
        return [this] { Changed(); };
    }

private:
    friend class TTransactionManager;
    void detachFromParent();
    void attachTo(TNode* newParent);

    TNode* m_parent = nullptr;
    std::vector<TNode*> m_children;
    bool m_modified = false;
    TVariant m_tag;
    int32_t m_id = 0;
    bool m_allowChange = true;
    std::string m_author;
    TDateTime m_creationTime;
    TDateTime m_modificationTime;
    uint8_t m_viewFlags = 0;
    TTransactionManager* m_transactionManager = nullptr;
    TNodeLink m_nodeLink;
    std::unique_ptr<TLinkCollection> m_links;
};

} // namespace pavilo
