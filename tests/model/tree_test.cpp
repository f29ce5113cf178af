#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/PVPObjModel.h"
#include "transactions/TM.h"

using namespace pavilo;

namespace {

template <class T = TPageNode>
T* add(TNode* parent, const std::string& title)
{
    auto* node = new T;
    node->SetTitle(title);
    node->SetParent(parent);
    return node;
}

std::string titleOf(const TNode* n)
{
    if (const auto* pv = dynamic_cast<const TPVNode*>(n))
        return pv->Title();
    if (const auto* root = dynamic_cast<const TRootNode*>(n))
        return root->Title();
    return std::string(n->ClassName());
}

// Counts the change notices a node sends.
struct ChangeCounter {
    TNodeLink link{TLinkOwnerKind::lokWindow};
    int count = 0;
    explicit ChangeCounter(TNode* node)
    {
        link.SetTarget(&node->NodeLink());
        link.OnChange = [this](TNodeLink&) { ++count; };
    }
};

// root
//   a
//     a1
//     a2
//       a21
//   b
struct Sample {
    TRootNode root;
    TPageNode* a = add(&root, "a");
    TPageNode* a1 = add(a, "a1");
    TURLNode* a2 = add<TURLNode>(a, "a2");
    TElementNode* a21 = add<TElementNode>(a2, "a21");
    TPageNode* b = add(&root, "b");
    Sample() { root.SetTitle("root"); }
};

} // namespace

// ---- structure

TEST(Tree, ForEachNodeVisitsInPostOrder)
{
    Sample s;
    std::vector<std::string> seen;
    s.root.ForEachNode([&seen](TNode* n) { seen.push_back(titleOf(n)); });
    EXPECT_EQ(seen, (std::vector<std::string>{"a1", "a21", "a2", "a", "b", "root"}));
}

TEST(Tree, FindNodeReturnsThePreOrderFirst)
{
    Sample s;
    s.a2->SetID(7);
    s.a21->SetID(7);
    s.b->SetID(7);
    EXPECT_EQ(s.root.FindNode(7), s.a2);
    s.a->SetID(7);
    EXPECT_EQ(s.root.FindNode(7), s.a);
    s.root.SetID(7);
    EXPECT_EQ(s.root.FindNode(7), &s.root);
    EXPECT_EQ(s.root.FindNode(8), nullptr);
    EXPECT_EQ(s.b->FindNode(7), s.b);
}

TEST(Tree, IsChildOfMeansDirectChild)
{
    Sample s;
    struct Case {
        TNode* node;
        TNode* parent;
        bool expected;
    } cases[] = {
        {s.a, &s.root, true}, {s.a21, s.a2, true}, {s.a21, s.a, false}, {s.a, s.a, false},
        {&s.root, s.a, false}, {s.a, nullptr, false}, {nullptr, &s.root, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TNode::IsChildOf(c.node, c.parent), c.expected)
            << (c.node ? titleOf(c.node) : "none") << " under " << (c.parent ? titleOf(c.parent) : "none");
}

TEST(Tree, FindParentOfClassStartsAtTheNodeItself)
{
    Sample s;
    struct Case {
        TNode* node;
        TNodeClass cls;
        TNode* expected;
    } cases[] = {
        {s.a21, TNodeClass::ncElementNode, s.a21}, {s.a21, TNodeClass::ncURLNode, s.a2},
        {s.a21, TNodeClass::ncPageNode, s.a},      {s.a21, TNodeClass::ncPVNode, s.a21},
        {s.a21, TNodeClass::ncRootNode, &s.root},  {s.a21, TNodeClass::ncNode, s.a21},
        {s.a21, TNodeClass::ncFileNode, nullptr},  {nullptr, TNodeClass::ncNode, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TNode::FindParentOfClass(c.node, c.cls), c.expected) << NodeClassName(c.cls);
}

TEST(Tree, NavigationAcrossSiblingsAndDescendants)
{
    Sample s;
    EXPECT_EQ(s.a->NextSibling(), s.b);
    EXPECT_EQ(s.b->NextSibling(), nullptr);
    EXPECT_EQ(s.b->PrevSibling(), s.a);
    EXPECT_EQ(s.a->FirstChild(), s.a1);
    EXPECT_EQ(s.b->FirstChild(), nullptr);
    EXPECT_EQ(TNode::LastDescendant(&s.root), s.b);
    EXPECT_EQ(TNode::LastDescendant(s.a), s.a21);
    EXPECT_EQ(TNode::LastDescendant(nullptr), nullptr);
    EXPECT_EQ(s.b->PrevNode(), s.a21);
    EXPECT_EQ(s.a2->PrevNode(), s.a1);
    EXPECT_EQ(s.a1->PrevNode(), s.a);
    EXPECT_EQ(s.root.PrevNode(), nullptr);
}

TEST(Tree, SetParentAppendsAndTellsBothParents)
{
    Sample s;
    ChangeCounter oldParent(s.a), newParent(s.b), moved(s.a1);
    s.a->SetModified(false);
    s.a1->SetModified(false);
    s.a1->SetParent(s.b);
    EXPECT_EQ(s.a1->Parent(), s.b);
    EXPECT_EQ(s.a1->Index(), 0);
    EXPECT_EQ(s.a->Count(), 1);
    EXPECT_EQ(oldParent.count, 1);
    EXPECT_EQ(newParent.count, 1);
    EXPECT_EQ(moved.count, 0);
    EXPECT_TRUE(s.a->Modified());
    EXPECT_FALSE(s.a1->Modified());
    s.a2->SetParent(s.b);
    EXPECT_EQ(s.a2->Index(), 1);
}

TEST(Tree, SetIndexMovesAmongSiblingsAndTellsOnlyTheNode)
{
    Sample s;
    TPageNode* c = add(&s.root, "c");
    ChangeCounter parent(&s.root), node(s.a);
    s.a->SetIndex(2);
    EXPECT_EQ(s.root.Children(), (std::vector<TNode*>{s.b, c, s.a}));
    EXPECT_EQ(parent.count, 0);
    EXPECT_EQ(node.count, 1);
    s.a->SetIndex(2);
    EXPECT_EQ(node.count, 1);
    c->SetIndex(0);
    EXPECT_EQ(s.root.Children(), (std::vector<TNode*>{c, s.b, s.a}));
    EXPECT_THROW(c->SetIndex(-1), EListError);
    EXPECT_EQ(s.root.Children(), (std::vector<TNode*>{c, s.b, s.a}));
    // Without a parent there is nowhere to move.
    TPageNode loose;
    loose.SetIndex(3);
    EXPECT_EQ(loose.Index(), -1);
}

TEST(Tree, DetachingClearsSelectionButKeepsExpansion)
{
    Sample s;
    s.a->SetModified(false);
    s.a->SetViewFlags(vfSelected | vfFocused | vfExpanded);
    s.a->SetParent(nullptr);
    EXPECT_EQ(s.a->ViewFlags(), vfExpanded);
    EXPECT_FALSE(s.a->Modified());
    delete s.a;
}

TEST(Tree, SetParentToTheCurrentParentRecordsNothing)
{
    Sample s;
    TTransactionManager tm;
    s.a1->SetTransactionManager(&tm);
    ChangeCounter parent(s.a);
    tm.BeginTransaction();
    s.a1->SetParent(s.a);
    EXPECT_TRUE(tm.CurrentTransaction()->Operations().empty());
    tm.EndTransaction(true);
    EXPECT_EQ(s.a->Children(), (std::vector<TNode*>{s.a1, s.a2}));
    EXPECT_EQ(parent.count, 0);
    // Outside a transaction it is just as quiet.
    s.a1->SetParent(s.a);
    EXPECT_EQ(parent.count, 0);
}

TEST(Tree, DestroyingANodeTellsItsParentAndFreesTheSubtree)
{
    Sample s;
    ChangeCounter parent(s.a);
    std::vector<std::string> gone;
    struct Watch {
        TNodeLink link{TLinkOwnerKind::lokWindow};
    } w1, w21;
    w1.link.SetTarget(&s.a2->NodeLink());
    w21.link.SetTarget(&s.a21->NodeLink());
    auto record = [&](const char* name) {
        return [&, name](TNodeLink& l) {
            if (!l.GetNode())
                gone.push_back(name);
        };
    };
    w1.link.OnChange = record("a2");
    w21.link.OnChange = record("a21");
    delete s.a2;
    // The node's own observers learn first, its children after.
    EXPECT_EQ(gone, (std::vector<std::string>{"a2", "a21"}));
    EXPECT_EQ(s.a->Children(), std::vector<TNode*>{s.a1});
    EXPECT_EQ(parent.count, 1);
}

// ---- values

TEST(Tree, GatedSettersIgnoreValuesWhileChangeIsNotAllowed)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TNode>()> make;
        std::function<void(TNode&)> set;
        std::function<bool(const TNode&)> changed;
    };
    auto pv = [](const TNode& n) -> const TPVNode& { return static_cast<const TPVNode&>(n); };
    auto page = [](TNode& n) -> TPageNode& { return static_cast<TPageNode&>(n); };
    auto root = [](TNode& n) -> TRootNode& { return static_cast<TRootNode&>(n); };
    auto makePage = [] { return std::make_unique<TPageNode>(); };
    auto makeRoot = [] { return std::make_unique<TRootNode>(); };
    const Case cases[] = {
        {"Title", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetTitle("T"); },
         [=](const TNode& n) { return pv(n).Title() == "T"; }},
        {"Width", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetWidth(640); },
         [=](const TNode& n) { return pv(n).Width() == 640; }},
        {"Height", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetHeight(480); },
         [=](const TNode& n) { return pv(n).Height() == 480; }},
        {"IconFilename", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetIconFilename("i.ico"); },
         [=](const TNode& n) { return pv(n).IconFilename() == "i.ico"; }},
        {"HasMenu", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetHasMenu(true); },
         [=](const TNode& n) { return pv(n).HasMenu(); }},
        {"Scrollbars", makePage, [](TNode& n) { static_cast<TPVNode&>(n).SetScrollbars(false); },
         [=](const TNode& n) { return !pv(n).Scrollbars(); }},
        {"CSSFileName", makePage, [=](TNode& n) { page(n).SetCSSFileName("s.css"); },
         [](const TNode& n) { return static_cast<const TPageNode&>(n).CSSFileName() == "s.css"; }},
        {"BaseUrl", makePage, [=](TNode& n) { page(n).SetBaseUrl("/docs"); },
         [](const TNode& n) { return static_cast<const TPageNode&>(n).BaseUrl() == "/docs"; }},
        {"Url", [] { return std::make_unique<TURLNode>(); },
         [](TNode& n) { static_cast<TURLNode&>(n).SetUrl("http://x/"); },
         [](const TNode& n) { return static_cast<const TURLNode&>(n).Url() == "http://x/"; }},
        {"ApplicationFileName", [] { return std::make_unique<TApplicationNode>(); },
         [](TNode& n) { static_cast<TApplicationNode&>(n).SetFileName("/bin/true"); },
         [](const TNode& n) { return static_cast<const TApplicationNode&>(n).FileName() == "/bin/true"; }},
        {"CloseApplication", [] { return std::make_unique<TApplicationNode>(); },
         [](TNode& n) { static_cast<TApplicationNode&>(n).SetCloseApplication(true); },
         [](const TNode& n) { return static_cast<const TApplicationNode&>(n).CloseApplication(); }},
        {"PageWizardDLLFileName", [] { return std::make_unique<TPageWizardNode>(); },
         [](TNode& n) { static_cast<TPageWizardNode&>(n).SetDLLFileName("w"); },
         [](const TNode& n) { return static_cast<const TPageWizardNode&>(n).DLLFileName() == "w"; }},
        {"ElementWizardFuncName", [] { return std::make_unique<TElementWizardNode>(); },
         [](TNode& n) { static_cast<TElementWizardNode&>(n).SetFuncName("f"); },
         [](const TNode& n) { return static_cast<const TElementWizardNode&>(n).FuncName() == "f"; }},
        {"ElementWizardInParams", [] { return std::make_unique<TElementWizardNode>(); },
         [](TNode& n) { static_cast<TElementWizardNode&>(n).SetInParams("p"); },
         [](const TNode& n) { return static_cast<const TElementWizardNode&>(n).InParams() == "p"; }},
        {"RootBgColor", makeRoot, [=](TNode& n) { root(n).SetBgColor(0xFF); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).BgColor() == 0xFFu; }},
        {"RootFontColor", makeRoot, [=](TNode& n) { root(n).SetFontColor(0xFF); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).FontColor() == 0xFFu; }},
        {"RootSelectionColor", makeRoot, [=](TNode& n) { root(n).SetSelectionColor(0xFF); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).SelectionColor() == 0xFFu; }},
        {"RootTitle", makeRoot, [=](TNode& n) { root(n).SetTitle("Untitled"); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).Title() == "Untitled"; }},
        {"RootDefaultView", makeRoot, [=](TNode& n) { root(n).SetDefaultView(4); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).DefaultView() == 4; }},
        {"RootCustomerName", makeRoot, [=](TNode& n) { root(n).SetCustomerName("c"); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).CustomerName() == "c"; }},
        {"RootParticipants", makeRoot, [=](TNode& n) { root(n).SetParticipants("p"); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).Participants() == "p"; }},
        {"RootNotes", makeRoot, [=](TNode& n) { root(n).SetNotes(u"n"); },
         [](const TNode& n) { return static_cast<const TRootNode&>(n).Notes() == u"n"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Gated: nothing changes, nobody hears.
        std::unique_ptr<TNode> locked = c.make();
        locked->SetAllowChange(false);
        locked->SetModified(false);
        ChangeCounter lockedHeard(locked.get());
        c.set(*locked);
        EXPECT_FALSE(c.changed(*locked));
        EXPECT_FALSE(locked->Modified());
        EXPECT_EQ(lockedHeard.count, 0);

        // Allowed: stored once, told once; the same value again is quiet.
        std::unique_ptr<TNode> open = c.make();
        ChangeCounter openHeard(open.get());
        c.set(*open);
        EXPECT_TRUE(c.changed(*open));
        EXPECT_TRUE(open->Modified());
        EXPECT_EQ(openHeard.count, 1);
        c.set(*open);
        EXPECT_EQ(openHeard.count, 1);
    }
}

TEST(Tree, AuthorAllowChangeAndOwnedListsAreNotGated)
{
    TPageNode page;
    page.SetAllowChange(false);
    EXPECT_TRUE(page.Modified()); // the switch itself is a change
    page.SetModified(false);
    page.SetTitle("locked");
    EXPECT_EQ(page.Title(), "TPageNode");
    EXPECT_FALSE(page.Modified());

    page.SetAuthor("Ann");
    EXPECT_EQ(page.Author(), "Ann");
    EXPECT_TRUE(page.Modified());

    page.SetModified(false);
    page.Source().SetText("<p>hi</p>");
    EXPECT_EQ(page.Source().Text(), "<p>hi</p>\r\n");
    EXPECT_TRUE(page.Modified());

    page.SetModified(false);
    page.OutlineText().Add("note");
    EXPECT_TRUE(page.Modified());

    page.SetModified(false);
    page.Icon().SetImage("TIcon", std::string("\0\0\1\0", 4));
    EXPECT_TRUE(page.Modified());

    page.SetModified(false);
    page.SetAllowChange(true);
    EXPECT_TRUE(page.AllowChange());
    EXPECT_TRUE(page.Modified());
}

TEST(Tree, SetModifiedTrueNotifiesFalseDoesNot)
{
    TPageNode page;
    ChangeCounter heard(&page);
    page.SetModified(true);
    EXPECT_TRUE(page.Modified());
    EXPECT_EQ(heard.count, 1);
    page.SetModified(false);
    EXPECT_FALSE(page.Modified());
    EXPECT_EQ(heard.count, 1);
}

TEST(Tree, AssignNodeFromALinkToAPageCopiesOnlyTheSharedFields)
{
    TURLNode url;
    url.SetID(42);
    url.SetTag(int32_t{5});
    url.SetAuthor("Ann");
    url.SetTimes(40000.25, 40001.5);
    url.SetViewFlags(vfExpanded | vfSelected);
    url.SetTitle("Link");
    url.SetWidth(800);
    url.SetHeight(600);
    url.SetIconFilename("link.ico");
    url.SetHasMenu(true);
    url.SetScrollbars(false);
    url.OutlineText().Add("about the link");
    url.Icon().SetImage("TIcon", "icon-bytes");
    url.SetUrl("http://example.invalid/");
    url.Links().Add().Link = "a.htm";
    url.SetAllowChange(false);

    TRootNode root;
    TPageNode page;
    page.SetParent(&root);
    TTransactionManager tm;
    page.SetTransactionManager(&tm);
    page.SetCSSFileName("page.css");
    page.SetBaseUrl("/base");
    page.Source().SetText("<html></html>");
    page.SetModified(false);

    page.AssignNode(&url);
    // TNode fields
    EXPECT_FALSE(page.AllowChange());
    EXPECT_EQ(page.Author(), "Ann");
    EXPECT_EQ(page.CreationTime(), 40000.25);
    EXPECT_EQ(page.ModificationTime(), 40001.5);
    EXPECT_EQ(page.ViewFlags(), vfExpanded | vfSelected);
    ASSERT_EQ(page.Links().Count(), 1);
    EXPECT_EQ(page.Links().Items(0).Link, "a.htm");
    // TPVNode fields
    EXPECT_EQ(page.Title(), "Link");
    EXPECT_EQ(page.Width(), 800);
    EXPECT_EQ(page.Height(), 600);
    EXPECT_EQ(page.IconFilename(), "link.ico");
    EXPECT_TRUE(page.HasMenu());
    EXPECT_FALSE(page.Scrollbars());
    EXPECT_EQ(page.OutlineText().Text(), "about the link\r\n");
    EXPECT_EQ(page.Icon().ImageClass(), "TIcon");
    EXPECT_EQ(page.Icon().Data(), "icon-bytes");
    // Neither identity, place nor the page's own fields
    EXPECT_EQ(page.ID(), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(page.Tag()));
    EXPECT_EQ(page.Parent(), &root);
    EXPECT_EQ(page.TransactionManager(), &tm);
    EXPECT_EQ(page.CSSFileName(), "page.css");
    EXPECT_EQ(page.BaseUrl(), "/base");
    EXPECT_EQ(page.Source().Text(), "<html></html>\r\n");
    // The copy is separate: changing the source later leaves the page alone.
    url.OutlineText().Add("more");
    EXPECT_EQ(page.OutlineText().Count(), 1);

    page.AssignNode(nullptr);
    EXPECT_EQ(page.Title(), "Link");
}

TEST(Tree, AssignNodeBetweenSameKindsCopiesTheirFields)
{
    TRootNode source;
    source.SetTitle("Tour");
    source.SetBgColor(0x00112233);
    source.SetSelectionColor(0x8000000D);
    source.SetDefaultView(4);
    source.SetCustomerName("not copied");
    TRootNode target;
    target.AssignNode(&source);
    EXPECT_EQ(target.Title(), "Tour");
    EXPECT_EQ(target.BgColor(), 0x00112233u);
    EXPECT_EQ(target.SelectionColor(), 0x8000000Du);
    EXPECT_EQ(target.DefaultView(), 4);
    EXPECT_EQ(target.CustomerName(), "");

    TFileNode file;
    file.SetFileName("/docs/Tour.pvp");
    TFileNode copy;
    copy.AssignNode(&file);
    EXPECT_EQ(copy.FileName(), "/docs/Tour.pvp");
    EXPECT_EQ(copy.Title(), "Tour");
    EXPECT_EQ(copy.FileKind(), fkPresentation);
}

TEST(Tree, SetFileNameDerivesKindAndTitle)
{
    struct Case {
        const char* name;
        uint8_t kind;
        const char* title;
    } cases[] = {
        {"/docs/Tour.pvp", fkPresentation, "Tour"},
        {"/docs/Tour.PVP", fkPresentation, "Tour"},
        {"/docs/Tools.pvt", fkToolbox, "Tools"},
        {"/docs/Tools.PvT", fkToolbox, "Tools"},
        {"/docs/Tour.pvp.bak", fkOther, "Tour.pvp"},
        {"/docs/Tour.htm", fkOther, "Tour"},
        {"/docs.d/Tour", fkOther, "Tour"},
        {"Tour.pvp", fkPresentation, "Tour"},
        {"", fkOther, ""},
    };
    for (const Case& c : cases) {
        TFileNode file;
        file.SetFileName(c.name);
        EXPECT_EQ(file.FileName(), c.name);
        EXPECT_EQ(file.FileKind(), c.kind) << c.name;
        EXPECT_EQ(file.Title(), c.title) << c.name;
    }
}

TEST(Tree, NewNodeIdStaysInTheProductRange)
{
    // R x (T mod 65536) with both factors below 65536 never exceeds 65535^2
    // as an unsigned 32-bit value; as a signed id it may be negative.
    const uint32_t highest = 65535u * 65535u;
    for (int i = 0; i < 10000; ++i) {
        int32_t id = NewNodeId();
        EXPECT_LE(static_cast<uint32_t>(id), highest);
    }
}
