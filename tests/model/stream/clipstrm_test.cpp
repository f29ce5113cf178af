// The node clipboard over the in-memory clipboard service, and duplication.

#include <gtest/gtest.h>

#include "model/PVPObjModel.h"
#include "model/stream/ClipStrm.h"
#include "model/stream/FixtureWriter.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;

namespace {

// A page with two children, one of them with a child of its own.
std::unique_ptr<TPageNode> pageWithTwoChildren()
{
    auto page = std::make_unique<TPageNode>();
    page->SetID(10);
    page->SetTitle("Page");
    page->Source().SetText("<p>x</p>");
    auto* first = new TURLNode;
    first->SetID(11);
    first->SetTitle("first");
    first->SetUrl("http://a/");
    first->SetParent(page.get());
    auto* second = new TApplicationNode;
    second->SetID(12);
    second->SetTitle("second");
    second->SetFileName("/bin/b");
    second->SetParent(page.get());
    auto* inner = new TElementNode;
    inner->SetID(13);
    inner->SetParent(second);
    return page;
}

} // namespace

TEST(NodeClipboard, CopyThenPasteGivesTheSubtreeInOrder)
{
    TMemoryClipboard clipboard;
    auto page = pageWithTwoChildren();
    CopyNodeToClipboard(clipboard, page.get());
    ASSERT_TRUE(ClipboardHasNode(clipboard));

    // The block is one record: the page with a child list of two records.
    const uint16_t format = clipboard.RegisterFormat(kNodeClipboardFormatName);
    std::optional<std::string> block = clipboard.GetBlock(format);
    ASSERT_TRUE(block.has_value());
    TValueWriter expected;
    WriteNodeToStream(expected, page.get());
    EXPECT_EQ(*block, expected.Bytes());
    TValueReader reader(*block, "clipboard");
    std::unique_ptr<TNode> record = ReadNodeFromStream(reader);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(record->Count(), 2);

    std::unique_ptr<TNode> pasted = PasteNodeFromClipboard(clipboard);
    auto* copy = dynamic_cast<TPageNode*>(pasted.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Parent(), nullptr);
    EXPECT_EQ(copy->Title(), "Page");
    EXPECT_EQ(copy->Source().Text(), "<p>x</p>\r\n");
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(static_cast<TURLNode*>(copy->Items(0))->Url(), "http://a/");
    EXPECT_EQ(copy->Items(0)->ID(), 11);
    EXPECT_EQ(static_cast<TApplicationNode*>(copy->Items(1))->FileName(), "/bin/b");
    EXPECT_EQ(copy->Items(1)->Count(), 1);
    EXPECT_EQ(copy->Items(1)->Items(0)->ClassId(), TNodeClass::ncElementNode);
    copy->ForEachNode([](TNode* n) { EXPECT_FALSE(n->Modified()); });
    // Pasting again gives another copy; the clipboard keeps its block.
    EXPECT_NE(PasteNodeFromClipboard(clipboard), nullptr);
}

TEST(NodeClipboard, CopyReplacesOtherContent)
{
    TMemoryClipboard clipboard;
    const uint16_t text = clipboard.RegisterFormat("text/plain");
    clipboard.SetForeign(text, "hello");
    ASSERT_TRUE(clipboard.HasFormat(text));
    ASSERT_FALSE(ClipboardHasNode(clipboard));
    TURLNode node;
    CopyNodeToClipboard(clipboard, &node);
    EXPECT_FALSE(clipboard.HasFormat(text));
    EXPECT_FALSE(clipboard.GetBlock(text).has_value());
    EXPECT_TRUE(ClipboardHasNode(clipboard));
}

TEST(NodeClipboard, FailedCopyLeavesTheClipboardAlone)
{
    // Deeper than any document may be: the copy fails before anything is published.
    auto top = std::make_unique<TPageNode>();
    TNode* parent = top.get();
    for (int i = 0; i < kMaxNodeDepth; ++i) {
        auto* n = new TPageNode;
        n->SetParent(parent);
        parent = n;
    }
    TMemoryClipboard clipboard;
    const uint16_t text = clipboard.RegisterFormat("text/plain");
    clipboard.SetForeign(text, "kept");
    EXPECT_THROW(CopyNodeToClipboard(clipboard, top.get()), Exception);
    EXPECT_FALSE(ClipboardHasNode(clipboard));
    EXPECT_EQ(clipboard.GetBlock(text), std::optional<std::string>("kept"));
}

TEST(NodeClipboard, FormatNumberStaysTheSame)
{
    TMemoryClipboard clipboard;
    const uint16_t first = clipboard.RegisterFormat(kNodeClipboardFormatName);
    clipboard.RegisterFormat("other");
    EXPECT_EQ(clipboard.RegisterFormat(kNodeClipboardFormatName), first);
    EXPECT_NE(clipboard.RegisterFormat("other"), first);
}

TEST(NodeClipboard, PasteOfForeignOrEmptyBlockFails)
{
    TMemoryClipboard empty;
    EXPECT_FALSE(ClipboardHasNode(empty));
    EXPECT_THROW(PasteNodeFromClipboard(empty), EReadError);

    TMemoryClipboard foreign;
    foreign.SetForeign(foreign.RegisterFormat("text/plain"), "TPageNode");
    EXPECT_THROW(PasteNodeFromClipboard(foreign), EReadError);

    const uint16_t format = TMemoryClipboard().RegisterFormat(kNodeClipboardFormatName);
    for (const std::string& block : {std::string(), std::string("junk"), std::string("\x06\x09TPageNode\x02", 12),
                                     std::string("\x06\x05TNode", 7)}) {
        TMemoryClipboard clipboard;
        ASSERT_EQ(clipboard.RegisterFormat(kNodeClipboardFormatName), format);
        clipboard.SetBlock(format, block);
        EXPECT_THROW(PasteNodeFromClipboard(clipboard), EReadError) << block;
    }
}

TEST(NodeClipboard, BlockLongerThanTheRecordPastes)
{
    TMemoryClipboard clipboard;
    TURLNode node;
    node.SetUrl("http://padded/");
    TValueWriter writer;
    WriteNodeToStream(writer, &node);
    const uint16_t format = clipboard.RegisterFormat(kNodeClipboardFormatName);
    clipboard.SetBlock(format, writer.Bytes() + std::string(64, '\0'));
    std::unique_ptr<TNode> pasted = PasteNodeFromClipboard(clipboard);
    EXPECT_EQ(static_cast<TURLNode*>(pasted.get())->Url(), "http://padded/");
}

TEST(NodeClipboard, DuplicateOfAModifiedNode)
{
    auto page = pageWithTwoChildren();
    page->SetTitle("changed");
    ASSERT_TRUE(page->Modified());
    ASSERT_TRUE(page->Items(1)->Modified());
    std::unique_ptr<TNode> copy = DuplicateNode(page.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Parent(), nullptr);
    copy->ForEachNode([](TNode* n) { EXPECT_FALSE(n->Modified()) << n->ClassName(); });
    EXPECT_TRUE(page->Modified());
    EXPECT_TRUE(page->Items(1)->Modified());
    EXPECT_EQ(copy->ID(), 10);
    EXPECT_EQ(copy->Items(0)->ID(), 11);
    EXPECT_EQ(copy->Items(1)->ID(), 12);
    EXPECT_EQ(copy->Items(1)->Items(0)->ID(), 13);
    EXPECT_EQ(static_cast<TPageNode*>(copy.get())->Title(), "changed");
    TValueWriter a, b;
    WriteNodeToStream(a, page.get());
    WriteNodeToStream(b, copy.get());
    EXPECT_EQ(a.Bytes(), b.Bytes());
}

TEST(NodeClipboard, DuplicateKeepsValuesOfNodesThatForbidChange)
{
    TApplicationNode app;
    app.SetFileName("/bin/x");
    app.SetCloseApplication(true);
    app.SetAllowChange(false);
    std::unique_ptr<TNode> copy = DuplicateNode(&app);
    auto* launcher = dynamic_cast<TApplicationNode*>(copy.get());
    ASSERT_NE(launcher, nullptr);
    EXPECT_FALSE(launcher->AllowChange());
    EXPECT_EQ(launcher->FileName(), "/bin/x");
    EXPECT_TRUE(launcher->CloseApplication());
}

TEST(NodeClipboard, DuplicateOfARootKeepsEveryField)
{
    TRootNode root;
    root.SetID(5);
    root.SetTitle("R");
    root.SetCustomerName("C");
    root.SetDate(44000.0);
    root.SetNotes(u"n\u00E4");
    root.SetDefaultView(4);
    root.ExtraText().SetText("e");
    root.CollapsedGlyph().SetBitmap("BM");
    std::unique_ptr<TNode> copy = DuplicateNode(&root);
    auto* r = dynamic_cast<TRootNode*>(copy.get());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->CustomerName(), "C");
    EXPECT_EQ(r->Date(), 44000.0);
    EXPECT_EQ(r->Notes(), u"n\u00E4");
    EXPECT_EQ(r->DefaultView(), 4);
    EXPECT_EQ(r->ExtraText().Text(), "e\r\n");
    EXPECT_EQ(r->CollapsedGlyph().ImageBytes(), "BM");
}
