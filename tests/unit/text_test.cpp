// The text handling of the Open / Run dialog: file types, arguments, paths.
#include "logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

const char kStart[] = "*.exe;*.com   Program Files!*.exe;*.com!*.bat   Batch Files!*.bat!";

// The items of a split list, up to the empty item that ends it.
std::vector<std::string> Items(const char *list)
{
    std::vector<std::string> items;
    while (*list) {
        items.push_back(list);
        list += strlen(list) + 1;
    }
    return items;
}

} // namespace

TEST(FilterPattern, IsAStarAndTheExtension)
{
    char pattern[20];
    ASSERT_TRUE(MakeFilterPattern(pattern, sizeof pattern, ".txt"));
    EXPECT_STREQ("*.txt", pattern);
    std::string eighteen = "." + std::string(17, 'x');
    ASSERT_TRUE(MakeFilterPattern(pattern, sizeof pattern, eighteen.c_str()));
    EXPECT_EQ("*" + eighteen, pattern);
}

TEST(FilterPattern, TooLongAnExtensionGivesNoPattern)
{
    char pattern[20];
    memset(pattern, '#', sizeof pattern);
    std::string nineteen = "." + std::string(18, 'x');
    EXPECT_FALSE(MakeFilterPattern(pattern, sizeof pattern, nineteen.c_str()));
    EXPECT_STREQ("", pattern);
    EXPECT_EQ('#', pattern[1]);
}

TEST(FileFilter, WorkedExampleGivesTheFiveTypesInOrder)
{
    char filter[1000];
    strcpy(filter, kStart);
    ASSERT_TRUE(
        AppendFilterPair(filter, sizeof filter, FilterEndLength(), "*.txt", "Text Document"));
    ASSERT_TRUE(AppendFilterPair(filter, sizeof filter, FilterEndLength(), "*.xyz", ""));
    AppendFilterEnd(filter, sizeof filter);
    EXPECT_STREQ("*.exe;*.com   Program Files!*.exe;*.com!*.bat   Batch Files!*.bat!"
                 "*.txt   Text Document!*.txt!*.xyz   Document!*.xyz!*.*    All Files!*.*!!",
                 filter);
    size_t len = strlen(filter);
    SplitFilter(filter);
    // The end of the last pattern, the empty item and the terminator.
    EXPECT_EQ('\0', filter[len - 2]);
    EXPECT_EQ('\0', filter[len - 1]);
    EXPECT_EQ('\0', filter[len]);
    std::vector<std::string> expected = {"*.exe;*.com   Program Files",
                                         "*.exe;*.com",
                                         "*.bat   Batch Files",
                                         "*.bat",
                                         "*.txt   Text Document",
                                         "*.txt",
                                         "*.xyz   Document",
                                         "*.xyz",
                                         "*.*    All Files",
                                         "*.*"};
    EXPECT_EQ(expected, Items(filter));
}

TEST(FileFilter, ABangInADescriptionStartsAnItemOfItsOwn)
{
    char filter[1000] = "";
    ASSERT_TRUE(AppendFilterPair(filter, sizeof filter, 0, "*.b", "Half!Other"));
    SplitFilter(filter);
    EXPECT_EQ(std::vector<std::string>({"*.b   Half", "Other", "*.b"}), Items(filter));
}

TEST(FileFilter, NeverRunsPastItsBufferAndAlwaysEndsTheList)
{
    for (int cch : {1000, 200, 150, 120, 111}) {
        SCOPED_TRACE(cch);
        std::vector<char> buf(cch + 16, '#');
        char *filter = buf.data();
        strcpy(filter, kStart);
        int added = 0;
        while (AppendFilterPair(filter, cch, FilterEndLength(), "*.longextension",
                                "A description of some length"))
            added++;
        // A pair that does not fit leaves the list as it was.
        size_t before = strlen(filter);
        EXPECT_FALSE(AppendFilterPair(filter, cch, FilterEndLength(), "*.longextension",
                                      "A description of some length"));
        EXPECT_EQ(before, strlen(filter));
        AppendFilterEnd(filter, cch);
        size_t len = strlen(filter);
        EXPECT_LT(len, (size_t)cch);
        EXPECT_EQ(0, strcmp(filter + len - FilterEndLength(), "*.*    All Files!*.*!!"));
        EXPECT_EQ('#', buf[cch]) << "written past the buffer";
        if (cch == 1000) {
            // Each pair takes 2 * 15 + 5 + 28 = 63; 88 and 22 are fixed.
            EXPECT_EQ((1000 - 1 - 88 - 22) / 63, added);
        }
    }
}

TEST(Arguments, SplitAtTheFirstSpaceKeepingTheRestAsTyped)
{
    struct {
        const char *typed, *name, *args;
    } cases[] = {
        {"prog.exe first  second", "prog.exe", "first  second"},
        {"prog.exe", "prog.exe", ""},
        {" leading", "", "leading"},
        {"trailing ", "trailing", ""},
        {"\"C:\\My Files\\x.exe\" a", "\"C:\\My", "Files\\x.exe\" a"},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        char text[128], args[128];
        strcpy(text, c.typed);
        memset(args, '#', sizeof args);
        SplitArguments(text, args, sizeof args);
        EXPECT_STREQ(c.name, text);
        EXPECT_STREQ(c.args, args);
    }
}

TEST(Arguments, AllOfTheLongestTypedTextIsKept)
{
    std::string typed = "p " + std::string(125, 'a');
    ASSERT_EQ(127u, typed.size());
    char text[128], args[128];
    strcpy(text, typed.c_str());
    SplitArguments(text, args, sizeof args);
    EXPECT_STREQ("p", text);
    EXPECT_EQ(std::string(125, 'a'), args);
}

TEST(Arguments, NeverRunPastASmallerBuffer)
{
    char text[64] = "n 0123456789abcdef";
    char args[8];
    memset(args, '#', sizeof args);
    SplitArguments(text, args, 6);
    EXPECT_STREQ("01234", args);
    EXPECT_EQ('#', args[6]);
}

TEST(Paths, NamePartFollowsTheLastSeparator)
{
    EXPECT_STREQ("file.exe", PathNamePart("C:\\dir\\sub\\file.exe"));
    EXPECT_STREQ("exit", PathNamePart("C:\\Program Files\\exit"));
    EXPECT_STREQ("exit", PathNamePart("C:exit"));
    EXPECT_STREQ("name", PathNamePart("name"));
    EXPECT_STREQ("", PathNamePart("C:\\dir\\"));
}

TEST(Paths, DirectoryPartKeepsTheTrailingBackslash)
{
    char dir[128];
    PathDirectoryPart("C:\\dir\\sub\\file.exe", dir, sizeof dir);
    EXPECT_STREQ("C:\\dir\\sub\\", dir);
    PathDirectoryPart("C:\\file.exe", dir, sizeof dir);
    EXPECT_STREQ("C:\\", dir);
    PathDirectoryPart("file.exe", dir, sizeof dir);
    EXPECT_STREQ("", dir);
    PathDirectoryPart("C:file.exe", dir, sizeof dir);
    EXPECT_STREQ("", dir);
    char small[6];
    PathDirectoryPart("C:\\a\\b\\c\\d", small, sizeof small);
    EXPECT_STREQ("", small) << "a directory that does not fit is not cut";
}
