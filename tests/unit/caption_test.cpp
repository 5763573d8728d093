#include "logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

std::string Caption(const std::string &title, int cch = 41)
{
    char buf[64];
    memset(buf, '#', sizeof buf);
    int len = MakeTaskCaption(title.c_str(), buf, cch);
    EXPECT_EQ((int)strlen(buf), len);
    return buf;
}

} // namespace

TEST(TaskCaption, DropsLeadingSpacesOnly)
{
    EXPECT_EQ("Word", Caption("   Word"));
    EXPECT_EQ("\tTabbed", Caption("\tTabbed"));
    EXPECT_EQ("a  b ", Caption(" a  b "));
}

TEST(TaskCaption, KeepsFortyCharactersWhole)
{
    std::string forty(40, 'x');
    EXPECT_EQ(forty, Caption(forty));
    EXPECT_EQ(forty, Caption("   " + forty)) << "leading spaces do not count";
}

TEST(TaskCaption, CutsLongerCaptionsToThirtySixAndDots)
{
    std::string title = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGH";
    EXPECT_EQ(title.substr(0, 36) + "...", Caption(title.substr(0, 41)));
    EXPECT_EQ(title.substr(0, 36) + "...", Caption(title));
    EXPECT_EQ(39u, Caption(std::string(127, 'y')).size());
}

TEST(TaskCaption, EmptyOrBlankTitleGivesNoCaption)
{
    char buf[41] = "unchanged?";
    EXPECT_EQ(0, MakeTaskCaption("", buf, sizeof buf));
    EXPECT_EQ(0, MakeTaskCaption("     ", buf, sizeof buf));
    EXPECT_EQ(0, MakeTaskCaption(std::string(127, ' ').c_str(), buf, sizeof buf));
}

TEST(TaskCaption, NeverWritesPastASmallerBuffer)
{
    char buf[12];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(4, MakeTaskCaption(std::string(60, 'z').c_str(), buf, 5));
    EXPECT_STREQ("zzzz", buf);
    EXPECT_EQ('#', buf[5]);
    EXPECT_EQ(0, MakeTaskCaption("abc", buf, 0));
    EXPECT_EQ('#', buf[5]);
}

TEST(MenuEntry, DoublesEveryAmpersandAndNeverSplitsAPair)
{
    char buf[81];
    EXPECT_EQ(12, EscapeMnemonics("Tom & Jerry", buf, sizeof buf));
    EXPECT_STREQ("Tom && Jerry", buf);
    EXPECT_EQ(14, EscapeMnemonics("Tom && Jerry", buf, sizeof buf));
    EXPECT_STREQ("Tom &&&& Jerry", buf);
    // Forty ampersands, the longest caption, fill the buffer exactly.
    EXPECT_EQ(80, EscapeMnemonics(std::string(40, '&').c_str(), buf, sizeof buf));
    EXPECT_EQ(std::string(80, '&'), buf);
    // Room for "ab&" but not "ab&&": the pair is left out whole.
    char small[5];
    memset(small, '#', sizeof small);
    EXPECT_EQ(2, EscapeMnemonics("ab&c", small, 4));
    EXPECT_STREQ("ab", small);
    EXPECT_EQ('#', small[4]);
}
