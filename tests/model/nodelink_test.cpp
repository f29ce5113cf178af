#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/PVPObjModel.h"

using namespace pavilo;

namespace {

// One notice as an observer heard it.
struct Heard {
    std::string link;
    std::string how; // "notify" or "before"
    TNode* sender;
    TNodeNotifyKind kind;
    bool operator==(const Heard&) const = default;
};

// An observer link that writes down every notice it is given.
class TRecordingLink : public TNodeLink {
public:
    TRecordingLink(std::string name, std::vector<Heard>* log, TLinkOwnerKind kind = TLinkOwnerKind::lokWindow)
        : TNodeLink(kind), m_name(std::move(name)), m_log(log)
    {
    }
    void Notify(TNode* sender, TNodeNotifyKind kind) override
    {
        m_log->push_back({m_name, "notify", sender, kind});
        TNodeLink::Notify(sender, kind);
    }
    void NotifyBefore(TNode* sender, TNodeNotifyKind kind) override
    {
        m_log->push_back({m_name, "before", sender, kind});
        TNodeLink::NotifyBefore(sender, kind);
    }

private:
    std::string m_name;
    std::vector<Heard>* m_log;
};

TPageNode* addPage(TNode* parent, const std::string& title)
{
    auto* page = new TPageNode;
    page->SetTitle(title);
    page->SetParent(parent);
    return page;
}

} // namespace

TEST(NodeLink, NewLinkStandsForNothing)
{
    TNodeLink link(TLinkOwnerKind::lokOther);
    EXPECT_EQ(link.GetNode(), nullptr);
    EXPECT_EQ(link.Target(), nullptr);
    EXPECT_TRUE(link.Observers().empty());
    TPageNode page;
    EXPECT_EQ(page.NodeLink().GetNode(), &page);
    EXPECT_EQ(page.NodeLink().Owner(), &page);
}

TEST(NodeLink, GetNodeFollowsAChainOfLinks)
{
    TPageNode page;
    TNodeLink view(TLinkOwnerKind::lokWindow);
    TNodeLink follower(TLinkOwnerKind::lokOther);
    follower.SetTarget(&view);
    EXPECT_EQ(follower.GetNode(), nullptr);
    view.SetTarget(&page.NodeLink());
    EXPECT_EQ(view.GetNode(), &page);
    EXPECT_EQ(follower.GetNode(), &page);
}

TEST(NodeLink, SetTargetWarnsBeforeLeavingThenAnnouncesTheNewNode)
{
    TPageNode first, second;
    std::vector<Heard> log;
    TRecordingLink view("view", &log);
    TRecordingLink deeper("deeper", &log);
    view.SetTarget(&first.NodeLink());
    deeper.SetTarget(&view);
    std::vector<std::string> handlers;
    view.OnBeforeChange = [&](TNodeLink& l) { handlers.push_back("before " + static_cast<TPVNode*>(l.GetNode())->Title()); };
    view.OnChange = [&](TNodeLink& l) { handlers.push_back("change " + static_cast<TPVNode*>(l.GetNode())->Title()); };
    first.SetTitle("first");
    second.SetTitle("second");
    log.clear();
    handlers.clear();

    view.SetTarget(&second.NodeLink());
    // The deeper observer hears each notice before the link's own handler.
    EXPECT_EQ(log, (std::vector<Heard>{{"view", "before", &first, nkRetarget},
                                       {"deeper", "before", &first, nkRetarget},
                                       {"view", "notify", &second, nkChanged},
                                       {"deeper", "notify", &second, nkChanged}}));
    EXPECT_EQ(handlers, (std::vector<std::string>{"before first", "change second"}));
    EXPECT_EQ(first.NodeLink().Observers(), std::vector<TNodeLink*>{});
    EXPECT_EQ(second.NodeLink().Observers(), std::vector<TNodeLink*>{&view});

    log.clear();
    view.SetTarget(&second.NodeLink());
    EXPECT_TRUE(log.empty());
}

TEST(NodeLink, ObserversHearInAttachmentOrderAndEmptySlotsAreSkipped)
{
    TPageNode page;
    std::vector<Heard> log;
    auto a = std::make_unique<TRecordingLink>("a", &log);
    TRecordingLink b("b", &log);
    a->SetTarget(&page.NodeLink());
    b.SetTarget(&page.NodeLink());
    a.reset();
    TRecordingLink c("c", &log);
    c.SetTarget(&page.NodeLink());
    log.clear();
    page.Changed();
    EXPECT_EQ(log, (std::vector<Heard>{{"b", "notify", &page, nkChanged}, {"c", "notify", &page, nkChanged}}));
    EXPECT_EQ(page.NodeLink().Observers(), (std::vector<TNodeLink*>{&b, &c}));
}

TEST(NodeLink, ViewFlagChangeIsNotifiedAsViewState)
{
    TPageNode page;
    TNodeLink view(TLinkOwnerKind::lokWindow);
    view.SetTarget(&page.NodeLink());
    std::vector<uint8_t> seen;
    view.OnChange = [&seen](TNodeLink& l) { seen.push_back(l.GetNode()->ViewFlags()); };

    page.SetViewFlags(vfSelected | vfFocused);
    EXPECT_EQ(seen, (std::vector<uint8_t>{vfSelected | vfFocused | vfViewChange}));
    EXPECT_EQ(page.ViewFlags(), vfSelected | vfFocused);
    EXPECT_FALSE(page.Modified());

    page.SetViewFlags(vfSelected | vfFocused);
    EXPECT_EQ(seen.size(), 1u);

    // A content change during the same life still marks the node.
    page.SetTitle("x");
    EXPECT_TRUE(page.Modified());
    EXPECT_EQ(seen.back(), vfSelected | vfFocused);
}

TEST(NodeLink, DetachingASubtreeTellsEveryNodeInPostOrder)
{
    TRootNode root;
    TPageNode* a = addPage(&root, "a");
    TPageNode* b = addPage(a, "b");
    TPageNode* c = addPage(a, "c");
    std::vector<Heard> log;
    TRecordingLink la("a", &log), lb("b", &log), lc("c", &log), lroot("root", &log);
    la.SetTarget(&a->NodeLink());
    lb.SetTarget(&b->NodeLink());
    lc.SetTarget(&c->NodeLink());
    lroot.SetTarget(&root.NodeLink());
    log.clear();

    a->SetParent(nullptr);
    EXPECT_EQ(log, (std::vector<Heard>{{"root", "notify", &root, nkChanged},
                                       {"b", "notify", a, nkRemoved},
                                       {"c", "notify", a, nkRemoved},
                                       {"a", "notify", a, nkRemoved}}));
    EXPECT_TRUE(root.Modified());
    delete a;
}

struct OwnerCase {
    const char* name;
    TLinkOwnerKind kind;
    bool staysAttached;
};

class RemovedNotice : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(RemovedNotice, OnlyViewsAndTransactionsKeepFollowingADetachedNode)
{
    const OwnerCase& c = GetParam();
    TRootNode root;
    TPageNode* page = addPage(&root, "page");
    TNodeLink link(c.kind);
    link.SetTarget(&page->NodeLink());
    int changes = 0;
    link.OnChange = [&changes](TNodeLink&) { ++changes; };

    page->SetParent(nullptr);
    EXPECT_EQ(link.GetNode() == page, c.staysAttached);
    EXPECT_EQ(page->NodeLink().Observers().size(), c.staysAttached ? 1u : 0u);
    // The handler heard the removal, and a link letting go hears that too.
    EXPECT_EQ(changes, c.staysAttached ? 1 : 2);
    delete page;
    EXPECT_EQ(link.GetNode(), nullptr);
}

TEST_P(RemovedNotice, MovingUnderAnotherParentDetachesNobody)
{
    TRootNode root;
    TPageNode* page = addPage(&root, "page");
    TPageNode* other = addPage(&root, "other");
    TNodeLink link(GetParam().kind);
    link.SetTarget(&page->NodeLink());
    page->SetParent(other);
    EXPECT_EQ(link.GetNode(), page);
}

INSTANTIATE_TEST_SUITE_P(Owners, RemovedNotice,
                         ::testing::Values(OwnerCase{"Other", TLinkOwnerKind::lokOther, false},
                                           OwnerCase{"Window", TLinkOwnerKind::lokWindow, true},
                                           OwnerCase{"Transaction", TLinkOwnerKind::lokTransaction, true}),
                         [](const ::testing::TestParamInfo<OwnerCase>& info) { return std::string(info.param.name); });

TEST(NodeLink, DestroyedNodeLeavesEveryObserverWithNothing)
{
    auto page = std::make_unique<TPageNode>();
    TPageNode* raw = page.get();
    std::vector<Heard> log;
    TRecordingLink first("first", &log), second("second", &log);
    TRecordingLink behindSecond("behind", &log);
    first.SetTarget(&raw->NodeLink());
    second.SetTarget(&raw->NodeLink());
    behindSecond.SetTarget(&second);
    std::vector<TNode*> firstSaw, secondSaw;
    first.OnChange = [&](TNodeLink& l) { firstSaw.push_back(l.GetNode()); };
    second.OnChange = [&](TNodeLink& l) { secondSaw.push_back(l.GetNode()); };
    log.clear();

    page.reset();
    EXPECT_EQ(first.GetNode(), nullptr);
    EXPECT_EQ(second.GetNode(), nullptr);
    EXPECT_EQ(behindSecond.GetNode(), nullptr);
    EXPECT_EQ(first.Target(), nullptr);
    EXPECT_EQ(second.Target(), nullptr);
    EXPECT_EQ(behindSecond.Target(), &second); // still follows its link, which stands for nothing now
    EXPECT_EQ(firstSaw, std::vector<TNode*>{nullptr});
    EXPECT_EQ(secondSaw, std::vector<TNode*>{nullptr});
    EXPECT_EQ(log, (std::vector<Heard>{{"first", "before", nullptr, nkRetarget},
                                       {"first", "notify", nullptr, nkChanged},
                                       {"second", "before", nullptr, nkRetarget},
                                       {"behind", "before", nullptr, nkRetarget},
                                       {"second", "notify", nullptr, nkChanged},
                                       {"behind", "notify", nullptr, nkChanged}}));
}

TEST(NodeLink, DestroyedObserverLeavesItsTarget)
{
    TPageNode page;
    auto view = std::make_unique<TNodeLink>(TLinkOwnerKind::lokWindow);
    view->SetTarget(&page.NodeLink());
    ASSERT_EQ(page.NodeLink().Observers().size(), 1u);
    view.reset();
    EXPECT_TRUE(page.NodeLink().Observers().empty());
    page.Changed();
}

// Handlers that tear links down while a notice is under way.
TEST(NodeLink, HandlerDestroysItsOwnLinkDuringANodeChange)
{
    TPageNode page;
    auto* doomed = new TNodeLink(TLinkOwnerKind::lokWindow);
    TNodeLink after(TLinkOwnerKind::lokWindow);
    doomed->SetTarget(&page.NodeLink());
    after.SetTarget(&page.NodeLink());
    int afterHeard = 0;
    doomed->OnChange = [](TNodeLink& l) { delete &l; };
    after.OnChange = [&afterHeard](TNodeLink&) { ++afterHeard; };
    page.SetTitle("x");
    EXPECT_EQ(afterHeard, 1);
    EXPECT_EQ(page.NodeLink().Observers(), std::vector<TNodeLink*>{&after});
    page.SetTitle("y");
    EXPECT_EQ(afterHeard, 2);
}

TEST(NodeLink, HandlerDestroysTheNextObserverDuringANodeChange)
{
    TPageNode page;
    TNodeLink first(TLinkOwnerKind::lokWindow);
    auto* second = new TNodeLink(TLinkOwnerKind::lokWindow);
    TNodeLink third(TLinkOwnerKind::lokWindow);
    first.SetTarget(&page.NodeLink());
    second->SetTarget(&page.NodeLink());
    third.SetTarget(&page.NodeLink());
    int secondHeard = 0, thirdHeard = 0;
    first.OnChange = [&second](TNodeLink&) {
        delete second;
        second = nullptr;
    };
    second->OnChange = [&secondHeard](TNodeLink&) { ++secondHeard; };
    third.OnChange = [&thirdHeard](TNodeLink&) { ++thirdHeard; };
    page.Changed();
    EXPECT_EQ(secondHeard, 0);
    EXPECT_EQ(thirdHeard, 1);
    EXPECT_EQ(page.NodeLink().Observers(), (std::vector<TNodeLink*>{&first, &third}));
}

TEST(NodeLink, HandlerDestroysItsOwnLinkWhileRetargeting)
{
    TPageNode a, b;
    auto* doomed = new TNodeLink(TLinkOwnerKind::lokWindow);
    doomed->SetTarget(&a.NodeLink());
    doomed->OnBeforeChange = [](TNodeLink& l) { delete &l; };
    doomed->SetTarget(&b.NodeLink());
    EXPECT_TRUE(a.NodeLink().Observers().empty());
    EXPECT_TRUE(b.NodeLink().Observers().empty());
}

TEST(NodeLink, HandlersDestroyLinksWhileTheirNodeIsDestroyed)
{
    auto page = std::make_unique<TPageNode>();
    auto* own = new TNodeLink(TLinkOwnerKind::lokTransaction);
    auto* other = new TNodeLink(TLinkOwnerKind::lokTransaction);
    TNodeLink survivor(TLinkOwnerKind::lokWindow);
    own->SetTarget(&page->NodeLink());
    other->SetTarget(&page->NodeLink());
    survivor.SetTarget(&page->NodeLink());
    // The first frees itself and the second, as an undo transaction frees
    // all its links when one of its nodes goes.
    own->OnChange = [&other](TNodeLink& l) {
        if (l.GetNode())
            return;
        delete other;
        other = nullptr;
        delete &l;
    };
    int survivorHeard = 0;
    survivor.OnChange = [&survivorHeard](TNodeLink& l) {
        if (!l.GetNode())
            ++survivorHeard;
    };
    page.reset();
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(survivorHeard, 1);
    EXPECT_EQ(survivor.GetNode(), nullptr);
}

TEST(NodeLink, HandlerDestroysItsOwnLinkOnRemoval)
{
    TRootNode root;
    TPageNode* page = addPage(&root, "page");
    TPageNode* child = addPage(page, "child");
    auto* doomed = new TNodeLink(TLinkOwnerKind::lokOther);
    TNodeLink view(TLinkOwnerKind::lokWindow);
    doomed->SetTarget(&child->NodeLink());
    view.SetTarget(&page->NodeLink());
    doomed->OnChange = [](TNodeLink& l) { delete &l; };
    int viewHeard = 0;
    view.OnChange = [&viewHeard](TNodeLink&) { ++viewHeard; };
    page->SetParent(nullptr);
    EXPECT_EQ(viewHeard, 1);
    EXPECT_TRUE(child->NodeLink().Observers().empty());
    delete page;
}
