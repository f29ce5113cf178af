#include <gtest/gtest.h>

#include "web/PvpMon.h"
#include "web/WBExternalInterface.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

class ExternalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartDocumentProtocol();
        target = addNode(show.C, "Target", 26);
        target->Source().SetText(std::string_view("<html>\r\n<body>target</body>\r\n"));
        view.SetTarget(&show.A->NodeLink());
        external->NodeLink().SetTarget(&view);
    }
    void TearDown() override { StopDocumentProtocol(); }

    static bool marked(TNode* n) { return (n->ViewFlags() & (vfSelected | vfFocused)) == (vfSelected | vfFocused); }

    TExampleShow show;
    TPageNode* target = nullptr;
    TNodeLink view{TLinkOwnerKind::lokWindow};
    std::shared_ptr<TExternal> external = std::make_shared<TExternal>();
};

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

} // namespace

TEST(NodeIdFromVariant, Forms)
{
    struct Case {
        TScriptValue Value;
        int32_t Id;
    } cases[] = {
        {int32_t(26), 26},
        {std::string("id=1a"), 26},
        {std::string(" ID = 0000001A"), 26},
        {std::string("\tid\t=\t1A"), 26},
        {std::string("id=0000001a"), 26},
        {std::string("26"), 26},
        {std::string(" -3 "), -3},
        {std::string("id=ffffffff"), -1},
        {std::string("id=123456789"), 0x12345678}, // at most 8 digits
        {std::string("id="), 0},
        {TScriptObjectArg{int32_t(26)}, 26},
        {TScriptObjectArg{std::string("26")}, 26},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NodeIdFromVariant(c.Value), c.Id) << ScriptToString(c.Value);
}

TEST(NodeIdFromVariant, Failures)
{
    const TScriptValue bad[] = {26.5, int16_t(26), true, TScriptNull{}, std::monostate{}};
    for (const TScriptValue& v : bad)
        EXPECT_EQ(errorOf([&] { NodeIdFromVariant(v); }), "Invalid variant type conversion");
    EXPECT_NE(errorOf([] { NodeIdFromVariant(std::string("id 26")); }), "");
    EXPECT_NE(errorOf([] { NodeIdFromVariant(std::string("twenty")); }), "");
    EXPECT_NE(errorOf([] { NodeIdFromVariant(TScriptObjectArg{}); }), ""); // an object without id
}

TEST_F(ExternalTest, CurrentFollowsTheViewEvenWhenTheShownNodeLeavesTheTree)
{
    EXPECT_EQ(external->CurrentNode(), show.A);
    view.SetTarget(&show.C->NodeLink());
    EXPECT_EQ(external->CurrentNode(), show.C);
    show.C->SetParent(nullptr); // cut: the view keeps its link
    view.SetTarget(&show.B->NodeLink());
    EXPECT_EQ(external->CurrentNode(), show.B);
    delete show.C;
}

TEST_F(ExternalTest, ShowOrderMembers)
{
    view.SetTarget(&show.A2->NodeLink());
    EXPECT_EQ(external->NextNode(), show.B);
    EXPECT_EQ(external->PrevNode(), show.A1);
    EXPECT_EQ(external->FirstNode(), show.A);
    view.SetTarget(nullptr);
    EXPECT_EQ(external->CurrentNode(), nullptr);
    EXPECT_EQ(external->NextNode(), nullptr);
    EXPECT_EQ(external->FirstNode(), nullptr);
    EXPECT_EQ(external->Base(), RootUrl());
}

TEST_F(ExternalTest, JumpToEveryFormSelectsTheSameNode)
{
    const int32_t handle = TNodeHandles::Instance().HandleOf(target);
    const TScriptValue forms[] = {int32_t(26),   std::string("id=1a"), std::string(" ID = 1A"),
                                  std::string("id=0000001a"), std::string("26"),
                                  TScriptNodeRef{handle, TScriptInterface::siPageNode}};
    for (const TScriptValue& v : forms) {
        show.A->SetViewFlags(vfSelected | vfFocused);
        target->SetViewFlags(0);
        external->JumpTo(v);
        EXPECT_FALSE(marked(show.A));
        EXPECT_TRUE(marked(target));
    }
}

TEST_F(ExternalTest, JumpToUnknownIdOnlyClearsTheCurrentMarks)
{
    show.A->SetViewFlags(vfSelected | vfFocused | vfExpanded);
    external->JumpTo(int32_t(999));
    EXPECT_EQ(show.A->ViewFlags(), vfExpanded);
    std::vector<TNode*> marked;
    show.File->ForEachNode([&](TNode* n) {
        if (n->ViewFlags() & (vfSelected | vfFocused))
            marked.push_back(n);
    });
    EXPECT_TRUE(marked.empty());
}

TEST_F(ExternalTest, FailuresChangeNothing)
{
    show.A->SetViewFlags(vfSelected | vfFocused);
    EXPECT_EQ(errorOf([&] { external->JumpTo(26.5); }), "Invalid variant type conversion");
    EXPECT_EQ(errorOf([&] { external->JumpTo(int16_t(26)); }), "Invalid variant type conversion");
    EXPECT_TRUE(marked(show.A));
    view.SetTarget(nullptr);
    EXPECT_NE(errorOf([&] { external->JumpTo(int32_t(26)); }), "");
    EXPECT_NE(errorOf([&] { external->Href(int32_t(26)); }), "");
}

TEST_F(ExternalTest, HrefComposesWithoutMovingTheSelection)
{
    show.A->SetViewFlags(vfSelected | vfFocused);
    external->Href(std::string("id=1a"));
    EXPECT_NE(PageBuffer()->Bytes.find("<body>target</body>"), std::string::npos);
    EXPECT_EQ(CurrentPageNode(), target);
    EXPECT_EQ(external->CurrentNode(), show.A);
    EXPECT_TRUE(marked(show.A));
    EXPECT_FALSE(marked(target));
    const std::string before = PageBuffer()->Bytes;
    external->Href(int32_t(999)); // nothing
    EXPECT_EQ(PageBuffer()->Bytes, before);
}

TEST_F(ExternalTest, CloseBrowserCallsTheCloseRequest)
{
    external->CloseBrowser(); // no handler: nothing
    int calls = 0;
    external->OnCloseRequest = [&](TExternal& e) {
        EXPECT_EQ(&e, external.get());
        ++calls;
    };
    external->CloseBrowser();
    EXPECT_EQ(calls, 1);
}

TEST_F(ExternalTest, NodeMembersAndGatedWrites)
{
    TScriptHost host;
    host.SetExternal(external);
    const auto ref = std::get<TScriptNodeRef>(host.Get(0, "currentNode"));
    EXPECT_EQ(ref.Interface, TScriptInterface::siPageNode);
    EXPECT_EQ(std::get<std::string>(host.Get(ref.Handle, "title")), "A");
    EXPECT_EQ(std::get<int32_t>(host.Get(ref.Handle, "COUNT")), 2);
    EXPECT_EQ(std::get<int32_t>(host.Get(ref.Handle, "id")), 1);
    const auto child = std::get<TScriptNodeRef>(host.Call(ref.Handle, "items", {int32_t(1)}));
    EXPECT_EQ(std::get<std::string>(host.Get(child.Handle, "title")), "A2");
    EXPECT_EQ(errorOf([&] { host.Call(ref.Handle, "items", {int32_t(2)}); }), "List index out of bounds (2)");
    EXPECT_EQ(errorOf([&] { host.Call(ref.Handle, "items", {int32_t(-1)}); }), "List index out of bounds (4294967295)");

    show.A->SetModified(false);
    host.Set(ref.Handle, "title", std::string("New"));
    EXPECT_EQ(show.A->Title(), "New");
    EXPECT_TRUE(show.A->Modified());
    host.Set(ref.Handle, "loop", true);
    EXPECT_EQ(std::get<bool>(host.Get(ref.Handle, "loop")), true);
    host.Set(ref.Handle, "width", std::string("640"));
    EXPECT_EQ(show.A->Width(), 640);

    show.A->SetAllowChange(false);
    show.A->SetModified(false);
    host.Set(ref.Handle, "title", std::string("Blocked"));
    host.Set(ref.Handle, "cssfilename", std::string("x.css"));
    EXPECT_EQ(show.A->Title(), "New");
    EXPECT_EQ(show.A->CSSFileName(), "");
    EXPECT_FALSE(show.A->Modified());
    host.Set(ref.Handle, "source", std::string("<html>\nnew"));
    EXPECT_EQ(show.A->Source().Text(), "<html>\r\nnew\r\n");

    host.Set(ref.Handle, "tag", 2.5);
    EXPECT_EQ(std::get<double>(host.Get(ref.Handle, "tag")), 2.5);
    EXPECT_NE(errorOf([&] { host.Set(ref.Handle, "id", int32_t(5)); }), "");
    EXPECT_NE(errorOf([&] { host.Set(ref.Handle, "tag", ref); }), "");
    EXPECT_NE(errorOf([&] { host.Get(ref.Handle, "nosuch"); }), "");

    // The root exposes INode only.
    const auto root = std::get<TScriptNodeRef>(host.Get(ref.Handle, "parent"));
    EXPECT_EQ(root.Interface, TScriptInterface::siNode);
    EXPECT_NE(errorOf([&] { host.Get(root.Handle, "title"); }), "");
    EXPECT_TRUE(std::holds_alternative<TScriptNull>(host.Get(
        std::get<TScriptNodeRef>(host.Get(root.Handle, "parent")).Handle, "parent")));
}

TEST_F(ExternalTest, StoredWindows1252TextReadsAsUtf8)
{
    show.A->SetTitle("Caf\xE9");
    TScriptHost host;
    host.SetExternalNode(show.A);
    const auto ref = std::get<TScriptNodeRef>(host.ExternalObject());
    EXPECT_EQ(std::get<std::string>(host.Get(ref.Handle, "title")), "Caf\xC3\xA9");
}

TEST_F(ExternalTest, HandlesNeverKeepANodeAlive)
{
    TScriptHost host;
    host.SetExternal(external);
    view.SetTarget(&show.C->NodeLink());
    const auto ref = std::get<TScriptNodeRef>(host.Get(0, "currentNode"));
    EXPECT_EQ(std::get<TScriptNodeRef>(host.Get(0, "currentNode")).Handle, ref.Handle); // one handle per node
    show.C->SetParent(nullptr);
    EXPECT_EQ(std::get<std::string>(host.Get(ref.Handle, "title")), "C"); // removed, not destroyed
    delete show.C;
    EXPECT_EQ(errorOf([&] { host.Get(ref.Handle, "title"); }), "The node no longer exists");
    EXPECT_EQ(errorOf([&] { host.Call(0, "jumpTo", {ref}); }), "The node no longer exists");
    EXPECT_EQ(errorOf([&] { host.Get(12345678, "title"); }), "The node no longer exists");
}

TEST_F(ExternalTest, ExternalObjectOfEachKind)
{
    TScriptHost host;
    EXPECT_FALSE(host.HasExternal());
    EXPECT_TRUE(std::holds_alternative<TScriptNull>(host.ExternalObject()));
    EXPECT_NE(errorOf([&] { host.Get(0, "base"); }), "");
    host.SetExternal(external);
    EXPECT_EQ(std::get<TScriptNodeRef>(host.ExternalObject()).Handle, TScriptHost::kExternalHandle);
    EXPECT_EQ(std::get<std::string>(host.Get(0, "BASE")), RootUrl());
    host.SetExternalNode(target);
    EXPECT_EQ(std::get<TScriptNodeRef>(host.ExternalObject()).Interface, TScriptInterface::siPageNode);
    delete target;
    EXPECT_FALSE(host.HasExternal());
    host.ClearExternal();
    EXPECT_TRUE(std::holds_alternative<TScriptNull>(host.ExternalObject()));
}
