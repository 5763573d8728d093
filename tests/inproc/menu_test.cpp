// The menu window: the menu it builds and the commands it carries out.
#include "libfixture.h"

using namespace swv;

namespace
{

class MenuWindow : public LibraryTest
{
  protected:
    HWND Window(const char *title, int x = 150, int y = 150)
    {
        return CreateTestWindow(title, x, y, 300, 200);
    }

    // The index of a window in the task list, or -1.
    int IndexOf(HWND hwnd)
    {
        for (int i = 0; i < lib.GetTaskWindowNumber(); i++)
            if (lib.GetWindowHandle(i) == hwnd)
                return i;
        return -1;
    }
};

struct Expected {
    UINT id;
    bool separator;
    const char *text;
};

} // namespace

TEST_F(MenuWindow, OffersTheCommandsThenOneEntryPerTaskInZOrder)
{
    HWND a = Window("Menu A");
    HWND b = Window("Menu B");
    HWND c = Window("   Menu C");
    FlushEvents();
    PressCaption(b);
    MenuCapture m = ShowQueuedMenu();
    ASSERT_TRUE(m.appeared);

    static const Expected head[] = {
        {2, false, "Push"}, {1, false, "Arrange Icons"}, {3, false, "Tile"}, {4, false, "Cascade"},
        {0, true, ""},      {5, false, "Run"},           {0, true, ""},
    };
    ASSERT_EQ(7u + lib.GetTaskWindowNumber(), m.items.size());
    for (size_t i = 0; i < 7; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(head[i].separator, (m.items[i].type & MFT_SEPARATOR) != 0);
        if (!head[i].separator) {
            EXPECT_EQ(head[i].id, m.items[i].id);
            EXPECT_EQ(head[i].text, m.items[i].text);
            EXPECT_EQ(0u, m.items[i].state & MFS_GRAYED);
        }
    }
    for (int i = 0; i < lib.GetTaskWindowNumber(); i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(100u + i, m.items[7 + i].id);
        EXPECT_EQ(Title(i), m.items[7 + i].text);
    }
    std::vector<HWND> mine = {a, b, c};
    EXPECT_EQ(ZOrder(mine), Among(TaskHandles(), mine));
    EXPECT_EQ("Menu C", m.items[7 + IndexOf(c)].text);
}

// The menu shows "&" as it stands in the title instead of underlining the
// next letter; the task list keeps the title itself.
TEST_F(MenuWindow, AnAmpersandInATitleIsShownNotTakenForAMnemonic)
{
    HWND w = Window("Tom & Jerry");
    FlushEvents();
    MenuCapture m = ShowMenu();
    ASSERT_TRUE(m.appeared);
    int i = IndexOf(w);
    ASSERT_LE(0, i);
    EXPECT_EQ("Tom && Jerry", m.items[7 + i].text);
    EXPECT_EQ("Tom & Jerry", Title(i));
}

// Titles outside code page 1252 show as the user sees them, cut by the same
// rules counted in UTF-16 units: a surrogate pair (U+1F4DD, U+1F600) counts
// two and is never split. "&" is doubled after the cut, so it neither
// counts twice towards it nor is lost to a shorter entry: forty of them
// make an entry of 80 units. The exports keep the ANSI caption.
TEST_F(MenuWindow, EntriesShowTitlesAsTheUserSeesThem)
{
#define TEN L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B\u4E5D\u5341"
#define X11 L"xxxxxxxxxxx"
#define AMP10 "&&&&&&&&&&"
    static const struct {
        const wchar_t *title, *entry;
        const char *ansi; // in code page 1252
    } cases[] = {
        {L"Notes \u25CF draft & plan", L"Notes \u25CF draft && plan", "Notes ? draft & plan"},
        {L"\u65E5\u672C\u8A9E\u306E\u984C\u540D", L"\u65E5\u672C\u8A9E\u306E\u984C\u540D",
         "??????"},
        {TEN TEN TEN TEN L"\u767E\u5343\u4E07\u5104\u5146",
         TEN TEN TEN L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D...",
         "????????????????????????????????????..."},
        {L"\U0001F4DD" X11 X11 X11 L"\U0001F600 tail", L"\U0001F4DD" X11 X11 X11 L"...", nullptr},
        {L"" AMP10 AMP10 AMP10 AMP10, L"" AMP10 AMP10 AMP10 AMP10 AMP10 AMP10 AMP10 AMP10,
         AMP10 AMP10 AMP10 AMP10},
        {X11 X11 X11 L"&&&&&&& tail", X11 X11 X11 L"&&&&&&...",
         "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx&&&..."},
    };
#undef TEN
#undef X11
#undef AMP10
    std::vector<HWND> windows;
    for (const auto &c : cases)
        windows.push_back(CreateTestWindow(c.title, 150, 150, 300, 200));
    FlushEvents();
    MenuCapture m = ShowMenu();
    ASSERT_TRUE(m.appeared);
    for (size_t k = 0; k < windows.size(); k++) {
        SCOPED_TRACE(k);
        int i = IndexOf(windows[k]);
        ASSERT_LE(0, i);
        EXPECT_EQ(cases[k].entry, m.items[7 + i].wtext);
        if (cases[k].ansi && GetACP() == 1252) {
            EXPECT_EQ(cases[k].ansi, Title(i));
        }
    }
}

// A menu window whose thread is not in front takes the front while its menu
// is up and gives it back when the menu is cancelled; one whose thread is
// in front changes nothing.
TEST_F(MenuWindow, TakesTheFrontOnlyWhenItsThreadIsNotInFront)
{
    HWND own = Window("Own window");
    FlushEvents();
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == own; }));
    HWND during = NULL;
    PostMessageA(menu, WM_SHOWTASKMENU, 0, 0);
    ASSERT_TRUE(ShowQueuedMenu({VK_ESCAPE}, [&] { during = GetForegroundWindow(); }).appeared);
    EXPECT_EQ(own, during);

    Process other;
    HWND front = StartWindowHelper(other, "In front", "500,300,300,200");
    ASSERT_NE(nullptr, front);
    SetForegroundWindow(front);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == front; }));
    PostMessageA(menu, WM_SHOWTASKMENU, 0, 0);
    ASSERT_TRUE(ShowQueuedMenu({VK_ESCAPE}, [&] { during = GetForegroundWindow(); }).appeared);
    EXPECT_EQ(menu, during);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == front; }, 2000))
        << "in front: \"" << WindowText(GetForegroundWindow()) << "\"";
}

TEST_F(MenuWindow, WithoutTasksEndsWithRunAndASeparator)
{
    MenuCapture m = ShowMenu();
    ASSERT_TRUE(m.appeared);
    if (lib.GetTaskWindowNumber() != 0)
        GTEST_SKIP() << "other programs on this desktop have task windows";
    ASSERT_EQ(7u, m.items.size());
    EXPECT_EQ("Run", m.items[5].text);
    EXPECT_TRUE(m.items[6].type & MFT_SEPARATOR);
}

TEST_F(MenuWindow, TaskCommandBringsThatWindowToTheTop)
{
    HWND a = Window("Task A");
    HWND b = Window("Task B");
    FlushEvents();
    ShowMenu();
    ASSERT_TRUE(ZOrderIs({b, a}));
    Command(100 + IndexOf(a));
    EXPECT_TRUE(ZOrderIs({a, b}));
}

TEST_F(MenuWindow, TaskCommandRestoresAMinimisedWindow)
{
    HWND a = Window("Restore A");
    HWND b = Window("Restore B");
    ShowWindow(a, SW_MINIMIZE);
    FlushEvents();
    ShowMenu();
    ASSERT_TRUE(IsIconic(a));
    Command(100 + IndexOf(a));
    EXPECT_FALSE(IsIconic(a));
    EXPECT_TRUE(ZOrderIs({a, b}));
    EXPECT_WINDOWPOS(a, 150, 150, 300, 200);
}

TEST_F(MenuWindow, OtherCommandsDoNothing)
{
    HWND a = Window("Idle A");
    HWND b = Window("Idle B");
    ShowWindow(a, SW_MINIMIZE);
    FlushEvents();
    ShowMenu();
    int ia = IndexOf(a);
    ASSERT_GE(ia, 0);
    const WPARAM commands[] = {
        0,
        6,
        42,
        99,
        130,
        131,
        0xFFFF,
        MAKEWPARAM(100 + ia, 1),
        MAKEWPARAM(100 + ia, 0x8000),
        (WPARAM)(100 + ia) | 0x80000000u,
#ifdef _WIN64
        // Bits above the low 32 count as well.
        (WPARAM)(100 + ia) | (WPARAM)1 << 32,
#endif
    };
    for (WPARAM w : commands) {
        SCOPED_TRACE(w);
        Command(w);
        EXPECT_TRUE(IsIconic(a));
        EXPECT_TRUE(ZOrderIs({b, a}));
    }
}

TEST_F(MenuWindow, TaskCommandBeyondTheListDoesNothing)
{
    HWND a = Window("Stale A");
    HWND b = Window("Stale B");
    FlushEvents();
    ShowMenu();
    int n = lib.GetTaskWindowNumber();
    // Entry n - 1 is the back-most window; after the next refresh without
    // it, that slot lies beyond the list but still holds its handle.
    HWND last = lib.GetWindowHandle(n - 1);
    ShowWindow(last, SW_HIDE);
    ShowMenu();
    ASSERT_EQ(n - 1, lib.GetTaskWindowNumber());
    ShowWindow(last, SW_SHOWMINNOACTIVE);
    FlushEvents();
    ASSERT_TRUE(IsIconic(last));
    Command(100 + n - 1);
    EXPECT_TRUE(IsIconic(last));
    (void)a;
    (void)b;
}

TEST_F(MenuWindow, CommandsUseTheListOfTheLastCallUp)
{
    HWND a = Window("Kept A");
    HWND b = Window("Kept B");
    FlushEvents();
    ShowMenu();
    int ia = IndexOf(a);
    ASSERT_GE(ia, 0);
    // A window opened after the menu was built changes nothing in the list.
    HWND c = Window("Kept C");
    FlushEvents();
    Command(100 + ia);
    EXPECT_TRUE(ZOrderIs({a, c, b}));
}

TEST_F(MenuWindow, MinimisedWindowsKeepTheirPlaceAfterArrangeIcons)
{
    HWND a = Window("Icon A", 100, 100);
    HWND b = Window("Icon B", 300, 300);
    ShowWindow(a, SW_MINIMIZE);
    ShowWindow(b, SW_MINIMIZE);
    FlushEvents();
    Command(1);
    // The system lays them out; neither is restored or overlaps the other.
    EXPECT_TRUE(IsIconic(a));
    EXPECT_TRUE(IsIconic(b));
    RECT ra, rb, both;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    EXPECT_FALSE(IntersectRect(&both, &ra, &rb));
}
