#include "logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace
{

// Lead-byte ranges of a double-byte code page (932, Japanese), fixed here
// so that the test does not depend on the machine's code page.
const unsigned char kLeadBytes932[LEAD_BYTE_TABLE] = {0x81, 0x9F, 0xE0, 0xFC};

std::string Caption(const std::string &title, int cch = 41,
                    const unsigned char *leadBytes = nullptr)
{
    char buf[64];
    memset(buf, '#', sizeof buf);
    int len = MakeTaskCaption(title.c_str(), buf, cch, leadBytes);
    EXPECT_EQ((int)strlen(buf), len);
    return buf;
}

std::wstring CaptionW(const std::wstring &title, int cch = 41)
{
    wchar_t buf[64];
    wmemset(buf, L'#', 64);
    int len = MakeTaskCaptionW(title.c_str(), buf, cch);
    EXPECT_EQ((int)wcslen(buf), len);
    return buf;
}

// The numbers one to ten in ideographs: ten characters outside code page
// 1252, one UTF-16 unit each.
#define TEN L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B\u4E5D\u5341"

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
    EXPECT_EQ(0, MakeTaskCaption("", buf, sizeof buf, nullptr));
    EXPECT_EQ(0, MakeTaskCaption("     ", buf, sizeof buf, nullptr));
    EXPECT_EQ(0, MakeTaskCaption(std::string(127, ' ').c_str(), buf, sizeof buf, nullptr));
    wchar_t wbuf[41];
    EXPECT_EQ(0, MakeTaskCaptionW(L"", wbuf, 41));
    EXPECT_EQ(0, MakeTaskCaptionW(L"     ", wbuf, 41));
}

TEST(TaskCaption, NeverWritesPastASmallerBuffer)
{
    char buf[12];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(4, MakeTaskCaption(std::string(60, 'z').c_str(), buf, 5, nullptr));
    EXPECT_STREQ("zzzz", buf);
    EXPECT_EQ('#', buf[5]);
    EXPECT_EQ(0, MakeTaskCaption("abc", buf, 0, nullptr));
    EXPECT_EQ('#', buf[5]);
}

// What the menu shows: the same rules counted in UTF-16 units.
TEST(TaskCaption, WideTitlesFollowTheSameRulesInUtf16Units)
{
    EXPECT_EQ(L"Notes \u25CF draft", CaptionW(L"   Notes \u25CF draft"));
    EXPECT_EQ(TEN TEN TEN TEN, CaptionW(TEN TEN TEN TEN));
    EXPECT_EQ(TEN TEN TEN L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D...",
              CaptionW(TEN TEN TEN TEN L"\u767E"));
}

// U+1F4DD and U+1F600 take two units each; a pair that would straddle the
// cut, or the end of the buffer, is left out whole.
TEST(TaskCaption, NeverSplitsASurrogatePair)
{
    std::wstring x33(33, L'x');
    EXPECT_EQ(L"\U0001F4DD" + x33 + L"...", CaptionW(L"\U0001F4DD" + x33 + L"\U0001F600 tail"));
    EXPECT_EQ(L"ab", CaptionW(L"ab\U0001F600", 4));
}

// The exports' ANSI caption counts bytes; in a double-byte code page the cut
// keeps whole characters, found from the start of the caption: "\x88\x9F"
// is one character whose second byte would also be a lead byte.
TEST(TaskCaption, AnsiCutNeverEndsInALoneLeadByte)
{
    std::string kanji18, more = "\x88\x9F\x88\x9F!";
    for (int i = 0; i < 18; i++)
        kanji18 += "\x88\x9F";
    EXPECT_EQ(kanji18 + "...", Caption(kanji18 + more, 41, kLeadBytes932));
    EXPECT_EQ("a" + kanji18.substr(0, 34) + "...",
              Caption("a" + kanji18 + more, 41, kLeadBytes932));
    EXPECT_EQ("a" + kanji18.substr(0, 35) + "...", Caption("a" + kanji18 + more, 41))
        << "single-byte code page: every byte is a character";
    EXPECT_EQ(kanji18, Caption("   " + kanji18, 41, kLeadBytes932)) << "36 bytes, whole";
    EXPECT_EQ("\x88\x9F", Caption(kanji18, 4, kLeadBytes932));
}

// Code page 932's lead bytes run 0x81-0x9F and 0xE0-0xFC: both ends of each
// range take the next byte along, the bytes just outside them do not. After
// "a", a double-byte character straddles the cut at 36 bytes.
TEST(TaskCaption, AnsiCutKnowsEachEndOfTheLeadByteRanges)
{
    static const struct {
        const char *pair;
        bool lead;
    } cases[] = {
        {"\x81\x40", true},  {"\x9F\x40", true},  {"\xE0\x40", true},  {"\xFC\x40", true},
        {"\x80\x80", false}, {"\xA0\xA0", false}, {"\xDF\xDF", false}, {"\xFD\xFD", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.pair));
        std::string title = "a";
        for (int i = 0; i < 20; i++)
            title += c.pair;
        EXPECT_EQ(title.substr(0, c.lead ? 35 : 36) + "...", Caption(title, 41, kLeadBytes932));
    }
}

TEST(MenuEntry, DoublesEveryAmpersandAndNeverSplitsAPair)
{
    wchar_t buf[81];
    EXPECT_EQ(14, EscapeMnemonicsW(L"Tom & \u25CF Jerry", buf, 81));
    EXPECT_STREQ(L"Tom && \u25CF Jerry", buf);
    EXPECT_EQ(14, EscapeMnemonicsW(L"Tom && Jerry", buf, 81));
    EXPECT_STREQ(L"Tom &&&& Jerry", buf);
    // Forty ampersands, the longest caption, fill the buffer exactly.
    EXPECT_EQ(80, EscapeMnemonicsW(std::wstring(40, L'&').c_str(), buf, 81));
    EXPECT_EQ(std::wstring(80, L'&'), buf);
    // Room for "ab&" but not "ab&&", nor for all of a surrogate pair: each is
    // left out whole.
    wchar_t small[5];
    wmemset(small, L'#', 5);
    EXPECT_EQ(2, EscapeMnemonicsW(L"ab&c", small, 4));
    EXPECT_STREQ(L"ab", small);
    EXPECT_EQ(L'#', small[4]);
    EXPECT_EQ(2, EscapeMnemonicsW(L"ab\U0001F600", small, 4));
    EXPECT_STREQ(L"ab", small);
}
