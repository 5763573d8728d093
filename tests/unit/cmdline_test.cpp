#include "cmdline.h"

#include <gtest/gtest.h>

#include <string>

TEST(CommandTail, SkipsProgramNameAndFollowingBlanksAndTabs)
{
    EXPECT_STREQ("/c", CommandTail("swv32load.exe /c"));
    EXPECT_STREQ("/C", CommandTail("swv32load.exe \t  /C"));
    EXPECT_STREQ("/c", CommandTail("swv32load.exe\t/c"));
    EXPECT_STREQ("", CommandTail("swv32load.exe"));
    EXPECT_STREQ("", CommandTail("swv32load.exe   "));
}

TEST(CommandTail, KeepsTrailingBlanks)
{
    EXPECT_STREQ("/c ", CommandTail("swv32load.exe /c "));
    EXPECT_STREQ("/c \t", CommandTail("swv32load.exe /c \t"));
}

TEST(CommandTail, QuotedProgramNameMayHoldBlanks)
{
    EXPECT_STREQ("/c", CommandTail("\"C:\\Program Files\\Swivlet\\swv32load.exe\" /c"));
    EXPECT_STREQ("/c", CommandTail("\"C:\\a b\\swv32load.exe\"/c"));
    EXPECT_STREQ("", CommandTail("\"C:\\unterminated quote /c"));
}

TEST(CommandTail, EmptyCommandLine)
{
    EXPECT_STREQ("", CommandTail(""));
}
