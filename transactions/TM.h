#pragma once
// The transaction manager: undoable structure edits.
//
// While a transaction is open, SetParent and SetIndex of nodes whose
// TransactionManager is this manager are recorded instead of carried out;
// EndTransaction(true) carries them out (commit, and redo), and
// EndTransaction(false) undoes the transaction before Current (undo).
// The manager owns its transactions, a transaction its operations, and an
// operation owns the node it detached until it is attached again. An
// operation refers to nodes only through links; when one of those nodes is
// destroyed, its whole transaction leaves the history at once.
// Failures raise ETransactionException.

#include <functional>
#include <memory>
#include <vector>

#include "model/Exception.h"
#include "model/NodeLink.h"

namespace pavilo {

class TNode;
class TTransaction;
class TTransactionManager;

class ETransactionException : public Exception {
public:
    using Exception::Exception;
};

class TOperation {
public:
    // Joins the end of the transaction's operations.
    explicit TOperation(TTransaction* transaction);
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;
    virtual ~TOperation();
    virtual void Execute() {}
    virtual void Undo() {}
    TTransaction* Transaction() const { return m_transaction; }

private:
    TTransaction* m_transaction;
};

class TNodeOperation : public TOperation {
public:
    TNodeOperation(TTransaction* transaction, TNode* node);
    // Frees the node it operated on when that node is still detached.
    ~TNodeOperation() override;
    TNode* Node() const { return m_nodeLink.GetNode(); }

protected:
    // A link owned by the transaction, with the vanishing-node handler.
    void watch(TNodeLink& link, TNode* node);

private:
    TNodeLink m_nodeLink;
};

class TSetParentOperation : public TNodeOperation {
public:
    TSetParentOperation(TTransaction* transaction, TNode* node, TNode* oldParent, TNode* newParent);
    void Execute() override;
    void Undo() override;
    TNode* OldParent() const { return m_oldParent.GetNode(); }
    TNode* NewParent() const { return m_newParent.GetNode(); }

private:
    TNodeLink m_newParent;
    TNodeLink m_oldParent;
};

class TSetIndexOperation : public TNodeOperation {
public:
    TSetIndexOperation(TTransaction* transaction, TNode* node, int oldIndex, int newIndex);
    void Execute() override;
    void Undo() override;
    int OldIndex() const { return m_oldIndex; }
    int NewIndex() const { return m_newIndex; }

private:
    int m_oldIndex;
    int m_newIndex;
};

class TTransaction {
public:
    explicit TTransaction(TTransactionManager* manager) : m_manager(manager) {}
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    // Leaves the manager's history, then destroys the operations, first first.
    ~TTransaction();
    TTransactionManager* Manager() const { return m_manager; }
    const std::vector<TOperation*>& Operations() const { return m_operations; }

    // Whether this transaction holds a parent step for the node.
    bool MovesParentOf(const TNode* node) const;

private:
    friend class TOperation;
    friend class TTransactionManager;
    TTransactionManager* m_manager;
    std::vector<TOperation*> m_operations;
    // Set while the manager carries the transaction out, to learn whether a
    // node handler destroyed it meanwhile.
    bool* m_destroyed = nullptr;
};

class TTransactionManager {
public:
    // At most this many transactions stay behind a new one.
    static constexpr int kHistoryLimit = 50;

    TTransactionManager() = default;
    TTransactionManager(const TTransactionManager&) = delete;
    TTransactionManager& operator=(const TTransactionManager&) = delete;
    ~TTransactionManager();

    void BeginTransaction();
    // true: commit or redo; false: undo.
    void EndTransaction(bool commit);
    TTransaction* CurrentTransaction() const;
    bool CanUndo() const;
    bool CanRedo() const;
    bool InTransaction() const { return m_inTransaction; }
    int Current() const { return m_current; }
    const std::vector<TTransaction*>& History() const { return m_history; }

    // Called by nodes while a transaction is open. An index step equal to the
    // node's index is recorded only after a parent step of the same node,
    // where it puts the node back in place on undo.
    void RecordSetParent(TNode* node, TNode* newParent);
    void RecordSetIndex(TNode* node, int newIndex);

    // The busy cursor around commit, undo and redo: called with true before,
    // false after (also on failure). The user interface sets it.
    static std::function<void(bool)> BusyCursor;

private:
    friend class TTransaction;
    // Runs Execute or Undo over the operations; stops and answers false when
    // a node handler destroys the transaction meanwhile.
    bool run(TTransaction* t, bool undo);
    std::vector<TTransaction*> m_history;
    int m_current = -1;
    bool m_inTransaction = false;
};

} // namespace pavilo
