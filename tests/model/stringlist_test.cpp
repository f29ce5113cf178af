#include <gtest/gtest.h>

#include "model/StringList.h"

using namespace pavilo;

TEST(StringList, TextSplitsAtEveryKindOfLineBreak)
{
    struct Case {
        const char* in;
        const char* stored;
        int lines;
    } cases[] = {
        {"", "", 0},
        {"a", "a\r\n", 1},
        {"a\r\n", "a\r\n", 1},
        {"a\r\nb", "a\r\nb\r\n", 2},
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd\r\n", 4},
        {"\r\n", "\r\n", 1},
        {"\n\n", "\r\n\r\n", 2},
        {"a\r\r\nb", "a\r\n\r\nb\r\n", 3},
        {"a\n\r", "a\r\n\r\n", 2},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetText(c.in);
        EXPECT_EQ(list.Text(), c.stored) << c.in;
        EXPECT_EQ(list.Count(), c.lines) << c.in;
        EXPECT_EQ(TStringList::IsNormalized(c.in), std::string(c.in) == c.stored) << c.in;
    }
}

TEST(StringList, ChangesAreAnnouncedOnlyWhenTheTextChanges)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.SetText("a\nb");
    list.SetText("a\r\nb\r\n");
    EXPECT_EQ(changes, 1);
    list.Add("c");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "c"}));
    list.Clear();
    list.Clear();
    EXPECT_EQ(changes, 3);
}
