#include "tools/HtmlEntities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavilo {
namespace {

TEST(EntityTable, HoldsTheHundredNames)
{
    int filled = 0;
    for (int code = 0; code < 256; ++code) {
        std::string_view name = EntityName(code);
        if (name.empty())
            continue;
        ++filled;
        EXPECT_EQ(EntityCode(name), code) << name;
    }
    EXPECT_EQ(filled, 100);
    EXPECT_EQ(EntityName(34), "quot");
    EXPECT_EQ(EntityName(38), "amp");
    EXPECT_EQ(EntityName(60), "lt");
    EXPECT_EQ(EntityName(62), "gt");
    EXPECT_EQ(EntityName(160), "nbsp");
    EXPECT_EQ(EntityName(173), "shy");
    EXPECT_EQ(EntityName(198), "AElig");
    EXPECT_EQ(EntityName(215), "times");
    EXPECT_EQ(EntityName(247), "divide");
    EXPECT_EQ(EntityName(255), "yuml");
    EXPECT_EQ(EntityName(39), "");
    EXPECT_EQ(EntityName(256), "");
    EXPECT_EQ(EntityCode("Amp"), -1);
}

struct TCase {
    std::string In;
    std::string Out;
};

TEST(TranslateEntities, References)
{
    const std::vector<TCase> cases = {
        {"", ""},
        {"plain", "plain"},
        {"&amp;&lt;&#65;&#x42;&eacute;", "&<AB\xE9"},
        {"&foo; &#zz;", "&foo; &#zz;"},
        {"a & b &lt;", "a & b <"},
        {"&#321;", "A"},
        {"&#0065;&#X41;&#x41;", "AAA"},
        {"&Eacute;&EACUTE;", "\xC9&EACUTE;"},
        {"&;&#;&#x;", "&;&#;&#x;"},
        {"&#-65;&# 65;&#65a;", "&#-65;&# 65;&#65a;"},
        {"&#2147483647;&#2147483648;", "\xFF&#2147483648;"},
        {"&#0;", std::string(1, '\0')},
        {"x &amp", "x &amp"},
        {"&&&&amp;", "&&&&"},
        {"a;&lt;b&gt;c", "a;<b>c"},
        {"&#" + std::string(255, '0') + "66;", "&#" + std::string(255, '0') + "66;"},
        {"&#" + std::string(253, '0') + "66;", "B"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TranslateEntities(c.In), c.Out) << c.In;
}

TEST(NormalizeWhiteSpace, Reduces)
{
    const std::vector<TCase> cases = {
        {"", ""},
        {"  a   b  ", "a b "},
        {"a  b", "a b"},
        {"a\t\tb", "a\t\tb"},
        {"a \t\r\n b", "a b"},
        {"a\t b", "a\t b"},
        {" \t\r\n", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(NormalizeWhiteSpace(c.In), c.Out) << c.In;
        EXPECT_EQ(IsNormalizedWhiteSpace(c.In), c.In == c.Out) << c.In;
    }
}

} // namespace
} // namespace pavilo
