#include <gtest/gtest.h>

#include "model/PVPObjModel.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;

namespace {

// A presentation: file node, root, and the given pages under the root.
std::unique_ptr<TFileNode> makePresentation(int pages)
{
    auto file = std::make_unique<TFileNode>();
    auto* root = new TRootNode;
    root->SetParent(file.get());
    for (int i = 0; i < pages; ++i) {
        auto* page = new TPageNode;
        page->SetTitle("P" + std::to_string(i));
        page->SetParent(root);
    }
    return file;
}

} // namespace

TEST(Node, DefaultsFollowTheClass)
{
    TPageNode page;
    EXPECT_EQ(page.Title(), "TPageNode");
    EXPECT_EQ(page.ID(), 0);
    EXPECT_TRUE(page.AllowChange());
    EXPECT_TRUE(page.Scrollbars());
    EXPECT_EQ(page.ReservedSetting(), 1);
    EXPECT_FALSE(page.Modified());
    TRootNode root;
    EXPECT_EQ(root.Title(), "TRootNode");
    EXPECT_EQ(root.BgColor(), 0x8000000Fu);
    EXPECT_EQ(root.Date(), static_cast<double>(static_cast<long long>(root.Date())));
    TURLNode url;
    EXPECT_EQ(url.Title(), "TURLNode");
}

TEST(Node, DetachedNodeHasNoPlace)
{
    TPageNode page;
    EXPECT_EQ(page.Index(), -1);
    EXPECT_EQ(page.NextSibling(), nullptr);
    EXPECT_EQ(page.PrevSibling(), nullptr);
    EXPECT_EQ(page.PrevNode(), nullptr);
}

TEST(Node, PrevNodeIsPreOrderPredecessor)
{
    auto file = makePresentation(2);
    TNode* root = file->Items(0);
    TNode* p0 = root->Items(0);
    TNode* p1 = root->Items(1);
    auto* deep = new TPageNode;
    auto* deeper = new TPageNode;
    deep->SetParent(p0);
    deeper->SetParent(deep);
    EXPECT_EQ(p0->PrevNode(), root);
    EXPECT_EQ(p1->PrevNode(), deeper);
}

TEST(Node, ItemsOutOfRangeFails)
{
    auto file = makePresentation(1);
    EXPECT_THROW(file->Items(1), EListError);
    EXPECT_THROW(file->Items(-1), EListError);
    EXPECT_THROW(file->Items(0)->Items(0)->SetIndex(3), EListError);
}
