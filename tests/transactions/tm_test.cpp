#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/PVPObjModel.h"
#include "transactions/TM.h"

using namespace pavilo;

namespace {

// A presentation whose root holds pages titled P0, P1, ...; every node edits
// through the one manager.
struct Presentation {
    TTransactionManager tm;
    std::unique_ptr<TFileNode> file = std::make_unique<TFileNode>();
    TRootNode* root = new TRootNode;

    explicit Presentation(int pages)
    {
        root->SetParent(file.get());
        for (int i = 0; i < pages; ++i)
            add("P" + std::to_string(i), root);
    }
    ~Presentation()
    {
        // The tree goes before the history, as when a document is closed
        // while its tree window still holds a manager.
        file.reset();
    }

    TPageNode* add(const std::string& title, TNode* parent)
    {
        auto* page = new TPageNode;
        page->SetTitle(title);
        page->SetParent(parent);
        page->SetTransactionManager(&tm);
        return page;
    }
    TPageNode* page(int i) const { return static_cast<TPageNode*>(root->Items(i)); }

    // Moves the node to a position under the same parent, as one transaction.
    void moveTo(TNode* node, int index)
    {
        tm.BeginTransaction();
        node->SetIndex(index);
        tm.EndTransaction(true);
    }
    void deleteNode(TNode* node)
    {
        node->SetTransactionManager(&tm);
        tm.BeginTransaction();
        node->SetParent(nullptr);
        node->SetIndex(-1);
        tm.EndTransaction(true);
    }
    void emptyTransaction()
    {
        tm.BeginTransaction();
        tm.EndTransaction(true);
    }
};

// The titles of the children, in order: "P0 P1 P2".
std::string order(const TNode* parent)
{
    std::string out;
    for (const TNode* child : parent->Children()) {
        if (!out.empty())
            out += ' ';
        out += static_cast<const TPVNode*>(child)->Title();
    }
    return out;
}

// Follows a node the way a view does, and records when the node is destroyed.
struct Probe {
    TNodeLink link{TLinkOwnerKind::lokWindow};
    std::string name;
    std::vector<std::string>* gone;

    Probe(TNode* node, std::string n, std::vector<std::string>* log) : name(std::move(n)), gone(log)
    {
        link.SetTarget(&node->NodeLink());
        link.OnChange = [this](TNodeLink& l) {
            if (!l.GetNode() && gone)
                gone->push_back(name);
        };
    }
    bool alive() const { return link.GetNode() != nullptr; }
};

std::string failureMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ETransactionException& e) {
        return e.Message();
    }
    return "(no failure)";
}

} // namespace

// ---- failures

struct FailureCase {
    const char* name;
    std::function<void(Presentation&)> prepare;
    std::function<void(Presentation&)> action;
    const char* message;
    int currentAfter;
    bool inTransactionAfter;
};

class TransactionFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TransactionFailure, RaisesTheMessageAndKeepsTheState)
{
    const FailureCase& c = GetParam();
    Presentation doc(3);
    c.prepare(doc);
    const size_t historyBefore = doc.tm.History().size();
    const std::string orderBefore = order(doc.root);

    EXPECT_EQ(failureMessage([&] { c.action(doc); }), c.message);
    EXPECT_EQ(doc.tm.Current(), c.currentAfter);
    EXPECT_EQ(doc.tm.InTransaction(), c.inTransactionAfter);
    EXPECT_EQ(doc.tm.History().size(), historyBefore);
    EXPECT_EQ(order(doc.root), orderBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransactionFailure,
    ::testing::Values(
        FailureCase{"NestedBegin",
                    [](Presentation& d) {
                        d.tm.BeginTransaction();
                        d.page(0)->SetIndex(2);
                    },
                    [](Presentation& d) { d.tm.BeginTransaction(); }, "Nested transactions is not allowed", 0,
                    true},
        FailureCase{"CommitOnEmptyHistory", [](Presentation&) {},
                    [](Presentation& d) { d.tm.EndTransaction(true); }, "No transaction to commit", -1, false},
        FailureCase{"RedoWithNothingUndone", [](Presentation& d) { d.moveTo(d.page(0), 2); },
                    [](Presentation& d) { d.tm.EndTransaction(true); }, "No transaction to commit", 1, false},
        FailureCase{"UndoOnEmptyHistory", [](Presentation&) {},
                    [](Presentation& d) { d.tm.EndTransaction(false); }, "No transaction to rollback", -1, false},
        FailureCase{"UndoWithEverythingUndone",
                    [](Presentation& d) {
                        d.moveTo(d.page(0), 2);
                        d.tm.EndTransaction(false);
                    },
                    [](Presentation& d) { d.tm.EndTransaction(false); }, "No transaction to rollback", 0, false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(TransactionManager, CommitWithoutTransactionClearsOnlyRecording)
{
    // Recording stops even though the commit fails: the open transaction was
    // removed by a vanishing node, so there is nothing left to commit.
    Presentation doc(3);
    TPageNode* victim = doc.page(1);
    doc.tm.BeginTransaction();
    victim->SetIndex(0);
    delete victim;
    EXPECT_TRUE(doc.tm.InTransaction());
    EXPECT_EQ(doc.tm.CurrentTransaction(), nullptr);
    EXPECT_EQ(failureMessage([&] { doc.tm.EndTransaction(true); }), "No transaction to commit");
    EXPECT_FALSE(doc.tm.InTransaction());
    EXPECT_EQ(doc.tm.Current(), 0);
    EXPECT_EQ(order(doc.root), "P0 P2");
}

TEST(TransactionManager, NestedBeginLeavesTheFirstTransactionOpen)
{
    Presentation doc(3);
    doc.tm.BeginTransaction();
    TTransaction* first = doc.tm.CurrentTransaction();
    doc.page(0)->SetIndex(2);
    EXPECT_THROW(doc.tm.BeginTransaction(), ETransactionException);
    EXPECT_EQ(doc.tm.CurrentTransaction(), first);
    EXPECT_EQ(doc.tm.History().size(), 1u);
    EXPECT_EQ(first->Operations().size(), 1u);
    // Still recording: a further request joins the first transaction.
    doc.page(1)->SetIndex(0);
    EXPECT_EQ(first->Operations().size(), 2u);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
}

TEST(TransactionManager, OperationErrorStopsTheTransaction)
{
    Presentation doc(3);
    doc.tm.BeginTransaction();
    doc.page(0)->SetIndex(7); // outside the sibling range, noticed only when carried out
    doc.page(1)->SetIndex(2);
    EXPECT_THROW(doc.tm.EndTransaction(true), EListError);
    EXPECT_FALSE(doc.tm.InTransaction());
    EXPECT_EQ(doc.tm.Current(), 0); // not advanced
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
}

TEST(TransactionManager, BusyCursorAroundCommitAndUndoAlsoOnFailure)
{
    std::vector<bool> calls;
    TTransactionManager::BusyCursor = [&calls](bool busy) { calls.push_back(busy); };
    Presentation doc(2);

    doc.tm.BeginTransaction();
    EXPECT_TRUE(calls.empty());
    doc.page(0)->SetIndex(1);
    doc.tm.EndTransaction(true);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));

    calls.clear();
    doc.tm.EndTransaction(false);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));

    calls.clear();
    EXPECT_THROW(doc.tm.EndTransaction(false), ETransactionException);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));

    calls.clear();
    doc.tm.EndTransaction(true); // redo
    EXPECT_THROW(doc.tm.EndTransaction(true), ETransactionException);
    EXPECT_EQ(calls, (std::vector<bool>{true, false, true, false}));

    // Restored also when an operation fails while it runs.
    calls.clear();
    doc.tm.BeginTransaction();
    doc.page(0)->SetIndex(5);
    EXPECT_THROW(doc.tm.EndTransaction(true), EListError);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    TTransactionManager::BusyCursor = nullptr;
}

// ---- history

TEST(TransactionManager, NewTransactionAfterUndoDiscardsTheUndoneOne)
{
    Presentation doc(3);                // P0 P1 P2
    doc.moveTo(doc.page(0), 2);         // A: P1 P2 P0
    TTransaction* a = doc.tm.History()[0];
    doc.moveTo(doc.page(0), 1);         // B: P2 P1 P0
    doc.tm.EndTransaction(false);       // B undone
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
    doc.moveTo(doc.page(2), 0);         // C: P0 P1 P2, B gone
    ASSERT_EQ(doc.tm.History().size(), 2u);
    EXPECT_EQ(doc.tm.History()[0], a);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");

    EXPECT_FALSE(doc.tm.CanRedo());
    doc.tm.EndTransaction(false); // undo C
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
    doc.tm.EndTransaction(false); // undo A
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    EXPECT_FALSE(doc.tm.CanUndo());
    EXPECT_TRUE(doc.tm.CanRedo());
    doc.tm.EndTransaction(true); // redo A
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
    doc.tm.EndTransaction(true); // redo C
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    EXPECT_TRUE(doc.tm.CanUndo());
    EXPECT_FALSE(doc.tm.CanRedo());
    EXPECT_EQ(doc.tm.Current(), 2);
}

TEST(TransactionManager, BeginDestroysEveryUndoneTransaction)
{
    Presentation doc(4);
    std::vector<std::string> gone;
    // Three deletions; undoing two attaches their nodes again, so only the
    // transactions go, not the nodes.
    Probe p1(doc.page(1), "P1", &gone);
    Probe p2(doc.page(2), "P2", &gone);
    Probe p3(doc.page(3), "P3", &gone);
    doc.deleteNode(doc.page(3));
    doc.deleteNode(doc.page(2));
    doc.deleteNode(doc.page(1));
    TTransaction* first = doc.tm.History()[0];
    doc.tm.EndTransaction(false);
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    EXPECT_EQ(doc.tm.Current(), 1);

    doc.tm.BeginTransaction();
    ASSERT_EQ(doc.tm.History().size(), 2u);
    EXPECT_EQ(doc.tm.History()[0], first);
    EXPECT_EQ(doc.tm.Current(), 1);
    doc.tm.EndTransaction(true);
    EXPECT_TRUE(gone.empty());
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    // The remaining undo still brings back P3.
    doc.tm.EndTransaction(false); // the empty one
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1 P2 P3");
}

TEST(TransactionManager, HistoryKeepsFiftyBehindTheNewOne)
{
    Presentation doc(1);
    std::vector<TTransaction*> made;
    for (int i = 0; i < 50; ++i) {
        doc.emptyTransaction();
        made.push_back(doc.tm.History().back());
    }
    ASSERT_EQ(doc.tm.History().size(), 50u);
    doc.emptyTransaction();
    made.push_back(doc.tm.History().back());
    EXPECT_EQ(doc.tm.History().size(), 51u);
    EXPECT_EQ(doc.tm.History(), made);

    doc.emptyTransaction();
    made.push_back(doc.tm.History().back());
    ASSERT_EQ(doc.tm.History().size(), 51u);
    // The oldest went, the rest kept their order.
    EXPECT_EQ(doc.tm.History(), std::vector<TTransaction*>(made.begin() + 1, made.end()));
    EXPECT_EQ(doc.tm.Current(), 51);
}

TEST(TransactionManager, TrimmingDestroysOldestDeletedNodesFirst)
{
    Presentation doc(3);
    std::vector<std::string> gone;
    Probe p0(doc.page(0), "P0", &gone);
    Probe p1(doc.page(1), "P1", &gone);
    doc.deleteNode(doc.page(0));
    doc.deleteNode(doc.page(0)); // P1
    EXPECT_EQ(order(doc.root), "P2");
    // 49 more make 51; the next one trims.
    for (int i = 0; i < 49; ++i)
        doc.emptyTransaction();
    EXPECT_TRUE(p0.alive());
    doc.emptyTransaction();
    EXPECT_EQ(gone, (std::vector<std::string>{"P0"}));
    doc.emptyTransaction();
    EXPECT_EQ(gone, (std::vector<std::string>{"P0", "P1"}));
}

TEST(TransactionManager, DeletedNodeLivesUntilItsTransactionLeaves)
{
    Presentation doc(2);
    std::vector<std::string> gone;
    TPageNode* child = doc.add("child", doc.page(0));
    Probe p0(doc.page(0), "P0", &gone);
    Probe pc(child, "child", &gone);
    doc.deleteNode(doc.page(0));
    EXPECT_EQ(order(doc.root), "P1");
    for (int i = 0; i < 50; ++i)
        doc.emptyTransaction();
    // Still owned by the oldest transaction, which can still be undone.
    EXPECT_TRUE(p0.alive());
    EXPECT_EQ(doc.tm.History().size(), 51u);
    doc.emptyTransaction(); // the 51st further one
    EXPECT_EQ(gone, (std::vector<std::string>{"P0", "child"}));
    EXPECT_EQ(doc.tm.History().size(), 51u);
}

TEST(TransactionManager, DestroyingManagerFreesDetachedNodes)
{
    std::vector<std::string> gone;
    auto doc = std::make_unique<Presentation>(2);
    Probe p0(doc->page(0), "P0", &gone);
    Probe p1(doc->page(1), "P1", &gone);
    doc->deleteNode(doc->page(0));
    // Closing: the deletion names the root as P0's old parent, so it leaves
    // the history, freeing P0, as soon as the root goes; then the root's pages go.
    doc.reset();
    EXPECT_EQ(gone, (std::vector<std::string>{"P0", "P1"}));
}

// ---- vanishing nodes

TEST(TransactionManager, DestroyedNodeRemovesItsTransactionAtOnce)
{
    Presentation doc(4);         // P0 P1 P2 P3
    doc.moveTo(doc.page(0), 2);  // A: P1 P2 P0 P3
    doc.moveTo(doc.page(3), 0);  // B: P3 P1 P2 P0, refers to P3
    doc.moveTo(doc.page(1), 3);  // C: P3 P2 P0 P1
    TTransaction* a = doc.tm.History()[0];
    TTransaction* c = doc.tm.History()[2];

    delete doc.page(0);
    EXPECT_EQ(doc.tm.History(), (std::vector<TTransaction*>{a, c}));
    EXPECT_EQ(order(doc.root), "P2 P0 P1");
    // Current follows the shortened history: C, then A, can still be undone.
    EXPECT_EQ(doc.tm.Current(), 2);
    EXPECT_TRUE(doc.tm.CanUndo());
    EXPECT_FALSE(doc.tm.CanRedo());
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P2 P1 P0");
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P2 P1");
    EXPECT_FALSE(doc.tm.CanUndo());
}

TEST(TransactionManager, DestroyedNodeBeforeCurrentKeepsRedoInPlace)
{
    Presentation doc(3);
    doc.moveTo(doc.page(0), 2);   // A refers to P0: P1 P2 P0
    doc.moveTo(doc.page(0), 1);   // B refers to P1: P2 P1 P0
    doc.tm.EndTransaction(false); // B undone: P1 P2 P0
    delete doc.page(2);           // P0 goes, and A with it
    ASSERT_EQ(doc.tm.History().size(), 1u);
    EXPECT_FALSE(doc.tm.CanUndo());
    EXPECT_TRUE(doc.tm.CanRedo());
    doc.tm.EndTransaction(true);  // redo B
    EXPECT_EQ(order(doc.root), "P2 P1");
}

TEST(TransactionManager, DestroyedParentRemovesTheTransactionThatNamesIt)
{
    Presentation doc(2);
    TPageNode* folder = doc.add("folder", doc.root);
    TPageNode* p0 = doc.page(0);
    doc.tm.BeginTransaction();
    p0->SetParent(folder);
    p0->SetIndex(0);
    doc.tm.EndTransaction(true);
    doc.tm.EndTransaction(false); // P0 back under the root; the transaction still names the folder
    EXPECT_EQ(order(doc.root), "P0 P1 folder");
    delete folder;
    EXPECT_TRUE(doc.tm.History().empty());
    EXPECT_FALSE(doc.tm.CanRedo());
    EXPECT_EQ(order(doc.root), "P0 P1");
}

TEST(TransactionManager, NodeDestroyedWhileCommitRunsStopsTheCommit)
{
    // A view that throws away a node as soon as another one moves.
    Presentation doc(3);
    TPageNode* p0 = doc.page(0);
    TNode* p1 = doc.page(1);
    TNodeLink view(TLinkOwnerKind::lokWindow);
    view.SetTarget(&p0->NodeLink());
    view.OnChange = [&p1](TNodeLink&) {
        delete p1;
        p1 = nullptr;
    };
    doc.tm.BeginTransaction();
    p0->SetIndex(2);
    p1->SetIndex(0);
    doc.tm.EndTransaction(true);
    EXPECT_EQ(p1, nullptr);
    EXPECT_TRUE(doc.tm.History().empty());
    EXPECT_FALSE(doc.tm.CanUndo());
    EXPECT_EQ(order(doc.root), "P2 P0");
}

// ---- structure edits

TEST(TransactionManager, MoveWithinTheParentRecordsOnlyAnIndexStep)
{
    Presentation doc(3);
    doc.tm.BeginTransaction();
    doc.page(0)->SetParent(doc.root);
    doc.page(0)->SetIndex(2);
    TTransaction* t = doc.tm.CurrentTransaction();
    ASSERT_EQ(t->Operations().size(), 1u);
    auto* step = dynamic_cast<TSetIndexOperation*>(t->Operations()[0]);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->Node(), doc.page(0));
    EXPECT_EQ(step->OldIndex(), 0);
    EXPECT_EQ(step->NewIndex(), 2);
    EXPECT_EQ(order(doc.root), "P0 P1 P2"); // nothing moves while recording
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
}

TEST(TransactionManager, DeleteDetachesAndUndoPutsBack)
{
    Presentation doc(3);
    TPageNode* p1 = doc.page(1);
    p1->SetViewFlags(vfSelected | vfFocused | vfExpanded);
    doc.tm.BeginTransaction();
    p1->SetParent(nullptr);
    p1->SetIndex(-1);
    TTransaction* t = doc.tm.CurrentTransaction();
    ASSERT_EQ(t->Operations().size(), 2u);
    auto* parentStep = dynamic_cast<TSetParentOperation*>(t->Operations()[0]);
    auto* indexStep = dynamic_cast<TSetIndexOperation*>(t->Operations()[1]);
    ASSERT_NE(parentStep, nullptr);
    ASSERT_NE(indexStep, nullptr);
    EXPECT_EQ(parentStep->OldParent(), doc.root);
    EXPECT_EQ(parentStep->NewParent(), nullptr);
    EXPECT_EQ(indexStep->OldIndex(), 1);
    EXPECT_EQ(indexStep->NewIndex(), -1);
    EXPECT_EQ(p1->Parent(), doc.root);

    doc.tm.EndTransaction(true);
    EXPECT_EQ(p1->Parent(), nullptr);
    EXPECT_EQ(p1->ViewFlags(), vfExpanded);
    EXPECT_EQ(order(doc.root), "P0 P2");

    doc.tm.EndTransaction(false);
    EXPECT_EQ(p1->Parent(), doc.root);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 P2");
}

TEST(TransactionManager, InsertAfterSelection)
{
    Presentation doc(3);
    TPageNode* selection = doc.page(0);
    auto* inserted = new TPageNode;
    inserted->SetTitle("N");
    inserted->SetTransactionManager(&doc.tm);
    std::vector<std::string> gone;
    Probe probe(inserted, "N", &gone);

    doc.tm.BeginTransaction();
    inserted->SetParent(selection->Parent());
    inserted->SetIndex(selection->Index() + 1);
    TTransaction* t = doc.tm.CurrentTransaction();
    ASSERT_EQ(t->Operations().size(), 2u);
    auto* parentStep = dynamic_cast<TSetParentOperation*>(t->Operations()[0]);
    auto* indexStep = dynamic_cast<TSetIndexOperation*>(t->Operations()[1]);
    ASSERT_NE(parentStep, nullptr);
    ASSERT_NE(indexStep, nullptr);
    EXPECT_EQ(parentStep->OldParent(), nullptr);
    EXPECT_EQ(indexStep->OldIndex(), -1);
    EXPECT_EQ(indexStep->NewIndex(), 1);
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 N P1 P2");

    // Undo detaches the new node but keeps it for redo.
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    EXPECT_EQ(inserted->Parent(), nullptr);
    EXPECT_TRUE(probe.alive());
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 N P1 P2");
    EXPECT_EQ(inserted->Index(), 1);

    // Undone again, then any new edit frees it for good.
    doc.tm.EndTransaction(false);
    EXPECT_TRUE(probe.alive());
    doc.tm.BeginTransaction();
    EXPECT_EQ(gone, (std::vector<std::string>{"N"}));
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
}

TEST(TransactionManager, InsertAtTheEndNeedsNoIndexStep)
{
    Presentation doc(2);
    auto* inserted = new TPageNode;
    inserted->SetTitle("N");
    inserted->SetTransactionManager(&doc.tm);
    doc.tm.BeginTransaction();
    inserted->SetParent(doc.root);
    inserted->SetIndex(doc.page(1)->Index() + 1);
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 P1 N");
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1");
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 P1 N");
}

TEST(TransactionManager, MoveToAnotherParentAndBack)
{
    Presentation doc(3);
    TPageNode* folder = doc.page(2);
    doc.add("F0", folder);
    TPageNode* p0 = doc.page(0);
    doc.tm.BeginTransaction();
    p0->SetParent(folder);
    p0->SetIndex(0); // the same number as now, but under the new parent
    EXPECT_EQ(doc.tm.CurrentTransaction()->Operations().size(), 2u);
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P1 P2");
    EXPECT_EQ(order(folder), "P0 F0");
    doc.tm.EndTransaction(false);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
    EXPECT_EQ(order(folder), "F0");
}

TEST(TransactionManager, IndexStepToTheCurrentPlaceRecordsNothing)
{
    Presentation doc(3);
    doc.tm.BeginTransaction();
    doc.page(1)->SetIndex(1);
    EXPECT_TRUE(doc.tm.CurrentTransaction()->Operations().empty());
    doc.tm.EndTransaction(true);
    EXPECT_EQ(order(doc.root), "P0 P1 P2");
}

TEST(TransactionManager, NodesOutsideTheManagerActAtOnce)
{
    Presentation doc(3);
    TTransactionManager other;
    doc.tm.BeginTransaction();
    doc.page(0)->SetTransactionManager(&other);
    doc.page(0)->SetIndex(2);
    EXPECT_EQ(order(doc.root), "P1 P2 P0");
    doc.tm.EndTransaction(true);
    EXPECT_TRUE(doc.tm.History()[0]->Operations().empty());
}
