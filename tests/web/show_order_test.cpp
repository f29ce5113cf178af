#include <gtest/gtest.h>

#include "web/ShowOrder.h"
#include "web/WebTree.h"

using namespace pavilo;
using namespace pavilo::test;

namespace {

std::string titleOf(TNode* n)
{
    if (!n)
        return "-";
    if (auto* pv = dynamic_cast<TPVNode*>(n))
        return pv->Title();
    return std::string(n->ClassName());
}

} // namespace

TEST(ShowOrder, ExampleTree)
{
    TExampleShow s;
    struct Case {
        TNode* Node;
        const char* Next;
        const char* Prev;
    } cases[] = {
        {s.A, "A1", "-"},  {s.A1, "A2", "A"}, {s.A2, "B", "A1"}, {s.B, "C", "A2"},
        {s.B1, "B", "B"},  {s.B2, "B", "B"},  {s.C, "-", "B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(titleOf(NextInShow(c.Node)), c.Next) << titleOf(c.Node);
        EXPECT_EQ(titleOf(PrevInShow(c.Node)), c.Prev) << titleOf(c.Node);
        EXPECT_EQ(FirstInShow(c.Node), s.A);
    }
}

TEST(ShowOrder, OnlyContentNodesTakePart)
{
    TExampleShow s;
    EXPECT_EQ(NextInShow(s.Root), nullptr);
    EXPECT_EQ(NextInShow(s.File.get()), nullptr);
    EXPECT_EQ(PrevInShow(s.Root), nullptr);
    EXPECT_EQ(NextInShow(nullptr), nullptr);
    EXPECT_EQ(FirstInShow(s.Root), s.A);
    EXPECT_EQ(FirstInShow(s.File.get()), nullptr);
    EXPECT_EQ(FirstInShow(nullptr), nullptr);
}

TEST(ShowOrder, BackOntoANestedMenuLandsOnTheOutermostMenu)
{
    TExampleShow s;
    // D holds a menu M whose last child holds a menu too.
    auto* d = addNode(s.Root, "D", 40);
    auto* m = addNode(d, "M", 41);
    m->SetHasMenu(true);
    auto* m1 = addNode(m, "M1", 42);
    auto* inner = addNode(m1, "Inner", 43);
    inner->SetHasMenu(true);
    addNode(inner, "Deep", 44);
    auto* e = addNode(d, "E", 45);
    EXPECT_EQ(PrevInShow(e), m);
    EXPECT_EQ(OutermostMenu(inner->FirstChild(), d), m);
    EXPECT_EQ(OutermostMenu(inner->FirstChild(), m), inner);
    EXPECT_EQ(NextInShow(m), e);
    EXPECT_EQ(NextInShow(inner), m1 == nullptr ? nullptr : m);
    EXPECT_EQ(NextInShow(e), nullptr);
}

TEST(ShowOrder, WithoutMenusPreOrder)
{
    TExampleShow s;
    s.B->SetHasMenu(false);
    std::string forward;
    for (TNode* n = FirstInShow(s.C); n; n = NextInShow(n))
        forward += titleOf(n) + " ";
    EXPECT_EQ(forward, "A A1 A2 B B1 B2 C ");
    std::string back;
    for (TNode* n = s.C; n; n = PrevInShow(n))
        back += titleOf(n) + " ";
    EXPECT_EQ(back, "C B2 B1 B A2 A1 A ");
}
