#include "tools/hpReg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavilo {
namespace {

// Every event of a scan as one line, in order.
struct TRecorder {
    std::vector<std::string> Log;
    bool AbortOnError = false;

    void Attach(TLegHtmlParser& p, bool withErrors = true)
    {
        p.OnBlock = [this](TLegHtmlParser&, std::string_view t) { Log.push_back("block:" + std::string(t)); };
        p.OnTag = [this](TLegHtmlParser&, std::string_view name, const THtmlAttributes& a) {
            Log.push_back("tag:" + std::string(name));
            for (int i = 0; i < a.Count(); ++i)
                Log.push_back("attr:" + std::string(a[i]));
        };
        p.OnText = [this](TLegHtmlParser&, std::string_view t) { Log.push_back("text:" + std::string(t)); };
        p.OnComment = [this](TLegHtmlParser&, std::string_view t) { Log.push_back("comment:" + std::string(t)); };
        p.OnScript = [this](TLegHtmlParser&, std::string_view t) { Log.push_back("script:" + std::string(t)); };
        p.OnDTDTag = [this](TLegHtmlParser&, std::string_view t) { Log.push_back("dtd:" + std::string(t)); };
        if (withErrors)
            p.OnError = [this](TLegHtmlParser&, int code, size_t pos, bool& abort) {
                Log.push_back("error:" + std::to_string(code) + "@" + std::to_string(pos));
                abort = AbortOnError;
            };
    }
};

using TLog = std::vector<std::string>;

enum TMode { mRaw, mContent, mAbort, mNoErrorHandler, mRawPlain };

struct TScanCase {
    const char* Name;
    std::string Input;
    TMode Mode;
    TLog Expected;
};

TLog scan(const TScanCase& c)
{
    TLegHtmlParser parser;
    TRecorder rec;
    rec.AbortOnError = c.Mode == mAbort;
    rec.Attach(parser, c.Mode != mNoErrorHandler);
    if (c.Mode == mRawPlain) {
        parser.SetTranslate(false);
        parser.SetNormalize(false);
    }
    if (c.Mode == mContent) {
        parser.SetContent(c.Input);
        parser.Parse();
    } else {
        parser.Parse(c.Input);
    }
    return rec.Log;
}

const std::vector<TScanCase> scanCases = {
    {"empty content", "", mContent, {}},
    {"paragraph", "<p>text</p>", mContent,
     {"block:<p>", "tag:p", "block:text", "text:text", "block:</p>", "tag:/p"}},
    {"attribute without value is dropped", "<img src=a.gif alt>", mRaw,
     {"block:<img src=a.gif alt>", "tag:img", "attr:src=a.gif"}},
    {"quoted values", "<a href='x y.htm' title = \"t\">", mRaw,
     {"block:<a href='x y.htm' title = \"t\">", "tag:a", "attr:href=x y.htm", "attr:title=t"}},
    {"value runs to the same quote", "<a alt=\"it's\"title='say \"hi\"'>", mRaw,
     {"block:<a alt=\"it's\"title='say \"hi\"'>", "tag:a", "attr:alt=it's", "attr:title=say \"hi\""}},
    {"empty attribute name ends the list", "<a =b>", mRaw,
     {"block:<a =", "tag:a", "error:5@6"}},
    {"unterminated tag", "text<a href=x", mRaw, {"block:text", "text:text", "error:1@14"}},
    {"declaration", "<!DOCTYPE html>", mRaw, {"block:<!DOCTYPE html>", "dtd:DOCTYPE html"}},
    {"greater than in text", "a > b", mRaw, {"error:5@3"}},
    {"script body", "<script>if (a<b) x();</script>", mRaw,
     {"block:<script>", "tag:script", "block:if (a<b) x();", "script:if (a<b) x();", "block:</script>",
      "tag:/script"}},
    {"script end tag in any case", "<SCRIPT>x</ScRiPt>", mRaw,
     {"block:<SCRIPT>", "tag:SCRIPT", "block:x", "script:x", "block:</ScRiPt>", "tag:/ScRiPt"}},
    {"script comment", "<script> <!-- hide() --></script>", mRaw,
     {"block:<script>", "tag:script", "block:<!-- hide() -->", "script: hide() ", "block:</script>",
      "tag:/script"}},
    {"empty script", "<script src=a.js></script>", mRaw,
     {"block:<script src=a.js>", "tag:script", "attr:src=a.js", "block:", "script:", "block:</script>",
      "tag:/script"}},
    {"comment", "<!-- a - b -->x", mRaw, {"block:<!-- a - b -->", "comment: a - b ", "block:x", "text:x"}},
    {"comment ends at the first closing dashes", "<!-- a -- b -->", mRaw, {"error:3@11", "error:5@15"}},
    {"comment dashes and whitespace", "<!-- a --- \r\n>", mRaw, {"block:<!-- a --- \r\n>", "comment: a "}},
    {"entities in text", "&amp;&lt;&#65;&#x42;&eacute;", mRaw,
     {"block:&amp;&lt;&#65;&#x42;&eacute;", "text:&<AB\xE9"}},
    {"unknown references stay", "&foo; &#zz;", mRaw, {"block:&foo; &#zz;", "text:&foo; &#zz;"}},
    {"ampersand before the next ampersand", "a & b &lt;", mRaw, {"block:a & b &lt;", "text:a & b <"}},
    {"low eight bits", "&#321;", mRaw, {"block:&#321;", "text:A"}},
    {"entities in names and values", "<p title=&quot;x&quot;>", mRaw,
     {"block:<p title=&quot;x&quot;>", "tag:p", "attr:title=\"x\""}},
    {"translate and normalize off", "<p title=' a  &amp; '>  x  &lt;  ", mRawPlain,
     {"block:<p title=' a  &amp; '>", "tag:p", "attr:title= a  &amp; ", "block:  x  &lt;  ", "text:x  &lt;"}},
    {"normalized value", "<p title=\"  a   b  \">", mRaw,
     {"block:<p title=\"  a   b  \">", "tag:p", "attr:title=a b "}},
    {"normalized text", "a \t\n b\t\tc", mRaw, {"block:a \t\n b\t\tc", "text:a b\t\tc"}},
    {"CR LF after a tag is skipped", "<b>\r\nx", mRaw, {"block:<b>", "tag:b", "block:x", "text:x"}},
    {"lone CR after a tag is skipped", "<b>\rx", mRaw, {"block:<b>", "tag:b", "block:x", "text:x"}},
    {"LF after a tag begins the text", "<b>\nx", mRaw, {"block:<b>", "tag:b", "block:\nx", "text:x"}},
    {"CR LF after a comment is skipped", "<!--c-->\r\nx", mRaw, {"block:<!--c-->", "comment:c", "block:x", "text:x"}},
    {"one trailing line break leaves a text", "x\r\n\r\n<b>", mRaw,
     {"block:x\r\n", "text:x", "block:<b>", "tag:b"}},
    {"whitespace-only text gives a block only", "<a>\r\n \r\n<b>", mRaw,
     {"block:<a>", "tag:a", "block: ", "block:<b>", "tag:b"}},
    {"less than inside a tag", "<a <b>x<i>", mRaw, {"error:4@4", "error:5@6", "block:<i>", "tag:i"}},
    {"errors without a handler", "<a <b>x<i>", mNoErrorHandler, {"block:<i>", "tag:i"}},
    {"abort ends the scan", "<a <b>x<i>", mAbort, {"error:4@4"}},
    {"end tag and empty tag", "</a><>", mRaw, {"block:</a>", "tag:/a", "block:<>", "tag:"}},
};

class ScanTable : public ::testing::TestWithParam<TScanCase> {};

TEST_P(ScanTable, ReportsEventsInSourceOrder)
{
    EXPECT_EQ(scan(GetParam()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Scanner, ScanTable, ::testing::ValuesIn(scanCases),
                         [](const ::testing::TestParamInfo<TScanCase>& info) {
                             std::string name;
                             for (char c : std::string(info.param.Name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

struct TErrorCase {
    std::string Input;
    int Code;
    size_t Position;
};

// The first error of a scan: its code and 1-based position.
TEST(ScannerErrors, CodesAndPositions)
{
    const std::vector<TErrorCase> cases = {
        {"<", 1, 2},
        {"x< \t", 1, 5},
        {"<a href=x", 1, 10},
        {"<a title=\"x>", 1, 13},
        {"<a title", 1, 9},
        {"<a title=", 1, 10},
        {"<!DOCTYPE", 1, 10},
        {"<!-- x -- ", 1, 11},
        {"<!-- x", 2, 7},
        {"<!-- x --", 3, 9},
        {"<!-- a --<b>", 3, 10},
        {"<a href=x<b>", 4, 10},
        {"<!a <b>", 4, 5},
        {"x>y", 5, 2},
        {"<script>x", 6, 10},
        {"<script>  ", 6, 11},
        {"<script>x</script >", 6, 20},
    };
    for (const TErrorCase& c : cases) {
        TLegHtmlParser parser;
        int code = 0;
        size_t pos = 0;
        parser.OnError = [&](TLegHtmlParser&, int e, size_t p, bool& abort) {
            code = e;
            pos = p;
            abort = true;
        };
        parser.Parse(c.Input);
        EXPECT_EQ(code, c.Code) << c.Input;
        EXPECT_EQ(pos, c.Position) << c.Input;
    }
}

TEST(Scanner, ContentIsCachedUntilChanged)
{
    TLegHtmlParser parser;
    TRecorder rec;
    rec.Attach(parser);
    parser.SetContent("<a>");
    parser.Parse();
    parser.Parse();
    EXPECT_EQ(rec.Log, (TLog{"block:<a>", "tag:a", "block:<a>", "tag:a"}));
    rec.Log.clear();
    parser.Content().Add("<b>");
    parser.Parse();
    EXPECT_EQ(rec.Log, (TLog{"block:<a>", "tag:a", "block:<b>", "tag:b"}));
}

TEST(Scanner, HandlerMayReplaceContentDuringAScan)
{
    TLegHtmlParser parser;
    TLog log;
    parser.OnTag = [&](TLegHtmlParser& p, std::string_view name, const THtmlAttributes&) {
        log.emplace_back(name);
        if (name == "a")
            p.SetContent(std::string(1000, 'x') + "<z>");
    };
    parser.SetContent("<a><b>");
    parser.Parse();
    parser.Parse();
    EXPECT_EQ(log, (TLog{"a", "b", "z"}));
}

TEST(Scanner, FlagsAndPrepareToken)
{
    TLegHtmlParser parser;
    EXPECT_TRUE(parser.Translate());
    EXPECT_TRUE(parser.Normalize());
    EXPECT_EQ(parser.PrepareToken("  &lt;a&gt;   b "), "<a> b ");
    parser.SetTextNormalize(false);
    EXPECT_FALSE(parser.Normalize());
    EXPECT_EQ(parser.PrepareToken("  &lt;a&gt;   b "), "  <a>   b ");
    parser.SetTranslate(false);
    parser.SetNormalize(true);
    EXPECT_TRUE(parser.TextNormalize());
    EXPECT_EQ(parser.PrepareToken("  &lt;a&gt;   b "), "&lt;a&gt; b ");
}

TEST(Scanner, LastTagAndText)
{
    TLegHtmlParser parser;
    parser.OnText = [](TLegHtmlParser&, std::string_view) {};
    parser.Parse("<a href=x>  one  </a>\r\n");
    EXPECT_EQ(parser.LastTag(), "</a>");
    EXPECT_EQ(parser.LastText(), "one");
}

TEST(Attributes, NamesAndValues)
{
    THtmlAttributes a;
    a.Add("SRC", "a=b.gif");
    a.Add("src", "second");
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a[0], "SRC=a=b.gif");
    EXPECT_EQ(a.Names(0), "SRC");
    EXPECT_EQ(a.ValueFromIndex(0), "a=b.gif");
    EXPECT_EQ(a.Values("Src"), "a=b.gif");
    EXPECT_EQ(a.IndexOfName("alt"), -1);
    EXPECT_EQ(a.Values("alt"), "");
    EXPECT_EQ(a.Lines(), (TLog{"SRC=a=b.gif", "src=second"}));
}

} // namespace
} // namespace pavilo
