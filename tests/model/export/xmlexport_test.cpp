#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>
#include <vector>

#include "model/export/SamplePresentation.h"
#include "model/export/XmlExport.h"

using namespace pavilo;
namespace fs = std::filesystem;

namespace {

class XmlExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Date texts below are those of the C locale.
        setenv("LC_ALL", "C", 1);
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pavilo-xml-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        unsetenv("LC_ALL");
    }

    // Exports the node and parses the file back.
    pugi::xml_node exportAndParse(const TNode* node)
    {
        std::string out = m_dir + "/out.xml";
        ExportXml(out, node);
        pugi::xml_parse_result r = m_doc.load_file(out.c_str(), pugi::parse_default | pugi::parse_declaration);
        EXPECT_TRUE(r) << r.description() << " at " << r.offset;
        return m_doc.document_element();
    }

    static std::vector<std::string> attributeNames(pugi::xml_node e)
    {
        std::vector<std::string> names;
        for (pugi::xml_attribute a : e.attributes())
            names.emplace_back(a.name());
        return names;
    }

    std::string m_dir;
    pugi::xml_document m_doc;
};

using Names = std::vector<std::string>;
Names join(std::initializer_list<Names> groups)
{
    Names all;
    for (const Names& g : groups)
        all.insert(all.end(), g.begin(), g.end());
    return all;
}

const Names kEvery = {"ID", "AllowChange", "Author", "CreationTime", "ModificationTime"};
const Names kPV = {"Title", "Width", "Height", "IconFilename", "HasMenu", "Scrollbars", "PanelColor", "HideBrowser", "OutlineText"};
const Names kFile = {"Version", "FileName", "Title"};
const Names kRoot = {"BgColor", "FontColor", "SelectionColor", "Title", "CustomerName", "Date", "Participants", "Notes", "DefaultView"};
const Names kPage = {"CSSFileName", "BaseUrl", "Htmlfile"};
const Names kWizard = {"DLLFileName", "FuncName", "InParams"};

} // namespace

TEST_F(XmlExport, OnePagePresentation)
{
    TFileNode file;
    file.SetFileName("/docs/Tour.pvp");
    auto* root = new TRootNode;
    root->SetParent(&file);
    auto* page = new TPageNode;
    page->SetID(0x00C0FFEE);
    page->SetParent(root);

    pugi::xml_node top = exportAndParse(&file);
    EXPECT_STREQ(m_doc.first_child().attribute("encoding").value(), "UTF-8");
    EXPECT_STREQ(top.name(), "TFileNode");
    ASSERT_EQ(std::distance(top.children().begin(), top.children().end()), 1);
    pugi::xml_node r = top.first_child();
    EXPECT_STREQ(r.name(), "TRootNode");
    ASSERT_EQ(std::distance(r.children().begin(), r.children().end()), 1);
    pugi::xml_node p = r.first_child();
    EXPECT_STREQ(p.name(), "TPageNode");
    EXPECT_FALSE(p.first_child());
    EXPECT_STREQ(p.attribute("ID").value(), "00C0FFEE");
    EXPECT_STREQ(p.attribute("Htmlfile").value(), "00C0FFEE.htm");
    EXPECT_STREQ(top.attribute("Version").value(), "PV08");
    EXPECT_STREQ(top.attribute("FileName").value(), "/docs/Tour.pvp");
    EXPECT_STREQ(top.attribute("Title").value(), "Tour");
    EXPECT_STREQ(r.attribute("BgColor").value(), "BtnFace");
    EXPECT_STREQ(r.attribute("FontColor").value(), "Black");
}

TEST_F(XmlExport, EveryKindWithItsAttributesInOrder)
{
    sample::TSamplePresentation doc(m_dir + "/Tour.pvp");
    auto* element = new TElementNode;
    element->SetParent(doc.Root);
    auto* elementWizard = new TElementWizardNode;
    elementWizard->SetParent(doc.Root);
    elementWizard->SetFuncName("MakeElement");

    pugi::xml_node top = exportAndParse(doc.File.get());
    EXPECT_EQ(attributeNames(top), join({kEvery, kFile}));
    pugi::xml_node root = top.child("TRootNode");
    EXPECT_EQ(attributeNames(root), join({kEvery, kRoot}));

    const struct {
        const char* Name;
        Names Attributes;
    } children[] = {
        {"TPageNode", join({kEvery, kPV, kPage})},
        {"TApplicationNode", join({kEvery, kPV, kPage, {"FileName", "CloseApplication"}})},
        {"TPageWizardNode", join({kEvery, kPV, kPage, kWizard})},
        {"TElementNode", join({kEvery, kPV})},
        {"TElementWizardNode", join({kEvery, kPV, kWizard})},
    };
    pugi::xml_node child = root.first_child();
    for (const auto& c : children) {
        ASSERT_TRUE(child) << c.Name;
        EXPECT_STREQ(child.name(), c.Name);
        EXPECT_EQ(attributeNames(child), c.Attributes) << c.Name;
        child = child.next_sibling();
    }
    EXPECT_FALSE(child);
    pugi::xml_node url = root.child("TPageNode").child("TURLNode");
    EXPECT_EQ(attributeNames(url), join({kEvery, kPV, {"Url"}}));
    EXPECT_STREQ(url.attribute("Url").value(), "http://example.com/?a=1&b=2");
    EXPECT_STREQ(url.attribute("ID").value(), "7FFFFFFF");
    EXPECT_STREQ(root.child("TPageWizardNode").attribute("FuncName").value(), "MakePage");
    EXPECT_STREQ(root.child("TElementWizardNode").attribute("FuncName").value(), "MakeElement");
    EXPECT_STREQ(root.child("TApplicationNode").attribute("Htmlfile").value(), "0000002A.htm");
    EXPECT_STREQ(root.child("TApplicationNode").attribute("CloseApplication").value(), "true");
}

TEST_F(XmlExport, ValueTexts)
{
    sample::TSamplePresentation doc(m_dir + "/Tour.pvp");
    doc.Root->SetTimes(45000.0, 45000.75);
    pugi::xml_node top = exportAndParse(doc.File.get());
    pugi::xml_node root = top.child("TRootNode");
    pugi::xml_node page = root.child("TPageNode");

    EXPECT_STREQ(top.attribute("ID").value(), "000012AB");
    EXPECT_STREQ(page.attribute("ID").value(), "FFFFFFFF");
    EXPECT_STREQ(page.attribute("Htmlfile").value(), "FFFFFFFF.htm");
    EXPECT_STREQ(root.attribute("BgColor").value(), "BtnFace");
    EXPECT_STREQ(root.attribute("FontColor").value(), "#996633");
    EXPECT_STREQ(root.attribute("SelectionColor").value(), "None");
    EXPECT_STREQ(page.attribute("PanelColor").value(), "#996633");
    EXPECT_STREQ(page.attribute("HideBrowser").value(), "true");
    EXPECT_STREQ(page.attribute("Scrollbars").value(), "false"); // a page of fixed size
    EXPECT_STREQ(page.attribute("AllowChange").value(), "true");
    EXPECT_STREQ(page.attribute("Width").value(), "640");
    EXPECT_STREQ(root.attribute("DefaultView").value(), "3");
    EXPECT_EQ(root.attribute("Date").as_double(), doc.Root->Date());
    EXPECT_EQ(std::string(root.attribute("Date").value()).find('.'), std::string::npos); // whole days
    EXPECT_STREQ(root.attribute("CreationTime").value(), "03/15/23");
    EXPECT_STREQ(root.attribute("ModificationTime").value(), "03/15/23 18:00:00");

    // Text survives the round trip through XML, in UTF-8.
    EXPECT_STREQ(root.attribute("Title").value(), "Tour & \"more\" <here>");
    EXPECT_STREQ(root.attribute("Notes").value(), "Notes \u00E9\u20AC \U0001F600");
    EXPECT_STREQ(root.attribute("CustomerName").value(), "Caf\u00E9 Ltd");
    EXPECT_STREQ(root.attribute("Participants").value(), "Ann\uFFFD Bob");
    EXPECT_STREQ(page.attribute("Author").value(), "J\u00FCrgen");
    EXPECT_STREQ(page.attribute("OutlineText").value(), "line one\r\nline two\r\n");
    EXPECT_STREQ(page.attribute("BaseUrl").value(), "D:\\Site\\");
    EXPECT_STREQ(page.attribute("CSSFileName").value(), "style.css");
    EXPECT_FALSE(page.attribute("Source"));
}

TEST_F(XmlExport, AnyNodeIsTheRootOfItsSubtree)
{
    sample::TSamplePresentation doc(m_dir + "/Tour.pvp");
    pugi::xml_node top = exportAndParse(doc.Page);
    EXPECT_STREQ(top.name(), "TPageNode");
    EXPECT_STREQ(top.first_child().name(), "TURLNode");
}

TEST_F(XmlExport, UnwritableFileRaises)
{
    TFileNode file;
    EXPECT_THROW(ExportXml(m_dir + "/no/such/folder/out.xml", &file), Exception);
    EXPECT_THROW(ExportXml(m_dir, &file), Exception); // a folder
    if (fs::exists("/dev/full")) {
        try {
            ExportXml("/dev/full", &file);
            ADD_FAILURE() << "writing to a full device succeeded";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find("/dev/full"), std::string::npos) << e.Message();
        }
    }
}

TEST(XmlExportText, NodeIds)
{
    EXPECT_EQ(NodeIdText(-1), "FFFFFFFF");
    EXPECT_EQ(NodeIdText(0), "00000000");
    EXPECT_EQ(NodeIdText(0x1A2B), "00001A2B");
    EXPECT_EQ(NodeIdText(INT32_MIN), "80000000");
}

TEST(XmlExportText, Colors)
{
    const struct {
        TColor Color;
        const char* Text;
    } cases[] = {
        {0x8000000F, "BtnFace"},  {0x00336699, "#996633"},  {0x000000, "Black"},
        {0x0000FF, "Red"},        {0xFF0000, "Blue"},       {0xFFFFFF, "White"},
        {0x80000000, "ScrollBar"}, {0x80000015, "3DDkShadow"}, {0x80000018, "InfoBk"},
        {0x80000019, "#190000"},  {0x1FFFFFFF, "None"},     {0x00010203, "#030201"},
        {0x000081, "#810000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorText(c.Color), c.Text) << std::hex << c.Color;
}

TEST(XmlExportText, DateTimes)
{
    setenv("LC_ALL", "C", 1);
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {2.0, "01/01/00"},
        {2.5, "01/01/00 12:00:00"},
        {45000.0, "03/15/23"},
        {45000.75, "03/15/23 18:00:00"},
        {-1.25, "12/29/99 06:00:00"},
        {0.99999999999, "12/31/99"},       // rounds up to the next midnight
        {1.0 + 0.4 / 86400.0, "12/31/99"}, // under a second after midnight
        {2958465.0, "12/31/99"},
        {-693593.0, "01/01/01"},
        {1e10, "10000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateTimeText(c.Value), c.Text) << c.Value;
    EXPECT_EQ(DateTimeText(std::nan("")), "nan");
    // A locale that is not installed gives the C library's default formats.
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(DateTimeText(45000.75), "03/15/23 18:00:00");
    unsetenv("LC_ALL");
}
