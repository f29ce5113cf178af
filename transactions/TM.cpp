#include "transactions/TM.h"

#include <algorithm>

#include "model/Node.h"

namespace pavilo {

std::function<void(bool)> TTransactionManager::BusyCursor;

namespace {
struct BusyScope {
    BusyScope()
    {
        if (TTransactionManager::BusyCursor)
            TTransactionManager::BusyCursor(true);
    }
    ~BusyScope()
    {
        if (TTransactionManager::BusyCursor)
            TTransactionManager::BusyCursor(false);
    }
};
} // namespace

// ---- operations

TOperation::TOperation(TTransaction* transaction) : m_transaction(transaction)
{
    m_transaction->m_operations.push_back(this);
}

TOperation::~TOperation()
{
    auto& ops = m_transaction->m_operations;
    auto it = std::find(ops.begin(), ops.end(), this);
    if (it != ops.end())
        ops.erase(it);
}

TNodeOperation::TNodeOperation(TTransaction* transaction, TNode* node)
    : TOperation(transaction), m_nodeLink(TLinkOwnerKind::lokTransaction, transaction)
{
    watch(m_nodeLink, node);
}

void TNodeOperation::watch(TNodeLink& link, TNode* node)
{
    TTransaction* transaction = Transaction();
    link.OnChange = [transaction](TNodeLink& l) {
        // A transaction never outlives a node it refers to.
        if (!l.GetNode() && transaction->Manager())
            delete transaction;
    };
    if (node)
        link.SetTarget(&node->NodeLink());
}

TNodeOperation::~TNodeOperation()
{
    m_nodeLink.OnChange = nullptr;
    TNode* node = m_nodeLink.GetNode();
    if (node && !node->Parent() && !node->Destroying())
        delete node;
}

TSetParentOperation::TSetParentOperation(TTransaction* transaction, TNode* node, TNode* oldParent,
                                         TNode* newParent)
    : TNodeOperation(transaction, node), m_newParent(TLinkOwnerKind::lokTransaction, transaction),
      m_oldParent(TLinkOwnerKind::lokTransaction, transaction)
{
    watch(m_newParent, newParent);
    watch(m_oldParent, oldParent);
}

void TSetParentOperation::Execute()
{
    if (TNode* node = Node())
        node->SetParent(NewParent());
}

void TSetParentOperation::Undo()
{
    if (TNode* node = Node())
        node->SetParent(OldParent());
}

TSetIndexOperation::TSetIndexOperation(TTransaction* transaction, TNode* node, int oldIndex, int newIndex)
    : TNodeOperation(transaction, node), m_oldIndex(oldIndex), m_newIndex(newIndex)
{
}

void TSetIndexOperation::Execute()
{
    if (TNode* node = Node())
        node->SetIndex(m_newIndex);
}

void TSetIndexOperation::Undo()
{
    if (TNode* node = Node())
        node->SetIndex(m_oldIndex);
}

// ---- transaction

TTransaction::~TTransaction()
{
    if (m_destroyed)
        *m_destroyed = true;
    if (m_manager) {
        auto& history = m_manager->m_history;
        auto it = std::find(history.begin(), history.end(), this);
        if (it != history.end()) {
            // A transaction that vanishes before Current takes its place
            // along, so undo and redo keep pointing at the same neighbours.
            if (it - history.begin() < m_manager->m_current)
                --m_manager->m_current;
            history.erase(it);
        }
        m_manager = nullptr;
    }
    while (!m_operations.empty())
        delete m_operations.front();
}

bool TTransaction::MovesParentOf(const TNode* node) const
{
    for (TOperation* op : m_operations) {
        auto* step = dynamic_cast<TSetParentOperation*>(op);
        if (step && step->Node() == node)
            return true;
    }
    return false;
}

// ---- manager

TTransactionManager::~TTransactionManager()
{
    while (!m_history.empty())
        delete m_history.front();
}

void TTransactionManager::BeginTransaction()
{
    if (m_inTransaction)
        throw ETransactionException("Nested transactions is not allowed");
    // A new edit discards everything that could still be redone.
    while (!m_history.empty() && static_cast<int>(m_history.size()) > m_current)
        delete m_history.back();
    while (static_cast<int>(m_history.size()) > kHistoryLimit)
        delete m_history.front();
    m_history.push_back(new TTransaction(this));
    m_current = static_cast<int>(m_history.size()) - 1;
    m_inTransaction = true;
}

void TTransactionManager::EndTransaction(bool commit)
{
    BusyScope busy;
    m_inTransaction = false;
    if (commit) {
        TTransaction* t = CurrentTransaction();
        if (!t)
            throw ETransactionException("No transaction to commit");
        // A transaction destroyed meanwhile has already left, and Current
        // points past it.
        if (run(t, false))
            ++m_current;
    } else {
        --m_current;
        TTransaction* t = CurrentTransaction();
        if (!t) {
            ++m_current;
            throw ETransactionException("No transaction to rollback");
        }
        run(t, true);
    }
}

bool TTransactionManager::run(TTransaction* t, bool undo)
{
    bool destroyed = false;
    t->m_destroyed = &destroyed;
    try {
        for (size_t i = 0; !destroyed && i < t->Operations().size(); ++i) {
            if (undo)
                t->Operations()[i]->Undo();
            else
                t->Operations()[i]->Execute();
        }
    } catch (...) {
        if (!destroyed)
            t->m_destroyed = nullptr;
        throw;
    }
    if (destroyed)
        return false;
    t->m_destroyed = nullptr;
    return true;
}

TTransaction* TTransactionManager::CurrentTransaction() const
{
    if (m_current < 0 || m_current >= static_cast<int>(m_history.size()))
        return nullptr;
    return m_history[static_cast<size_t>(m_current)];
}

bool TTransactionManager::CanUndo() const
{
    return m_current - 1 >= 0 && m_current - 1 < static_cast<int>(m_history.size());
}

bool TTransactionManager::CanRedo() const
{
    return m_current >= 0 && m_current < static_cast<int>(m_history.size());
}

void TTransactionManager::RecordSetParent(TNode* node, TNode* newParent)
{
    if (TTransaction* t = CurrentTransaction())
        new TSetParentOperation(t, node, node->Parent(), newParent);
}

void TTransactionManager::RecordSetIndex(TNode* node, int newIndex)
{
    TTransaction* t = CurrentTransaction();
    if (!t || (newIndex == node->Index() && !t->MovesParentOf(node)))
        return;
    new TSetIndexOperation(t, node, node->Index(), newIndex);
}

} // namespace pavilo
