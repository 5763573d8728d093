// The desktop as Explorer shows it: a list view of icons over the desktop
// window, which takes the presses there.
#include "menuwatch.h"
#include "session.h"

#include <cstring>

using namespace swv;

namespace
{

bool OwnedByMenuWindow(HWND popup)
{
    char cls[32] = "";
    HWND owner = GetWindow(popup, GW_OWNER);
    return owner && GetClassNameA(owner, cls, sizeof cls) && strcmp(cls, "TaskWindow") == 0;
}

class ShellDesktop : public DesktopSession
{
  protected:
    // Starts the desktop program; false when its desktop does not come.
    bool StartShell()
    {
        helpers.push_back(std::make_unique<Process>());
        if (!helpers.back()->Start("\"" + BinPath("shelldesk.exe") + "\""))
            return false;
        pid = helpers.back()->Pid();
        progman = WaitForWindow("Program Manager", pid);
        if (!progman)
            return false;
        // The pointer over it brings the library into its program.
        int step = 0;
        return WaitFor([&] {
            MoveCursorTo(650 + 20 * (step++ % 3), 520);
            return LibraryLoadedIn(pid);
        });
    }

    // The icon's centre on the screen, as the list view has it laid out now.
    POINT Icon()
    {
        DWORD_PTR at = 0;
        SendMessageTimeoutA(progman, RegisterWindowMessageA("SwvTest.Query"), 5, 0,
                            SMTO_ABORTIFHUNG, 2000, &at);
        return {(short)LOWORD(at), (short)HIWORD(at)};
    }

    // Right-button presses that reached the list view.
    int RightPressesSeen()
    {
        DWORD_PTR n = 0;
        SendMessageTimeoutA(progman, RegisterWindowMessageA("SwvTest.Query"), 7, 0,
                            SMTO_ABORTIFHUNG, 2000, &n);
        return (int)n;
    }

    // The visible popup menus of the desktop program.
    std::vector<HWND> Shown() { return VisiblePopupMenus(pid); }

    // Whether the desktop's thread tracks a menu or holds the pointer:
    // input then goes to the menu, not to the window under the pointer.
    bool InMenuOrCapture()
    {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return !GetGUIThreadInfo(GetWindowThreadProcessId(progman, NULL), &gti) ||
               (gti.flags & GUI_INMENUMODE) || gti.hwndCapture;
    }

    // The menus the desktop program opened of its own, as a release on its
    // view opens them.
    int OwnMenus(const MenuWatch &watch) { return watch.AllMenus(pid) - watch.SwivletMenus(pid); }

    DWORD pid = 0;
    HWND progman = NULL;
};

} // namespace

// Empty space calls up the desktop menu, with "Push" greyed; the press is
// Swivlet's, and so is its release, so the program's own menu never opens:
// not with the release while Swivlet's menu is up (under Wine that menu
// takes it before the program could), nor with one that comes after the
// menu has closed.
TEST_F(ShellDesktop, EmptySpaceShowsTheDesktopMenuAndOnlyThat)
{
    ASSERT_TRUE(StartShell());
    MenuWatch watch;
    RightPressAndRelease({700, 520});
    ASSERT_TRUE(watch.WaitForSwivletMenus(1)) << "no Swivlet menu";
    HWND popup = NULL;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND h : Shown())
            if (OwnedByMenuWindow(h))
                popup = h;
        return popup != NULL;
    }));
    FlushEvents(kQuietMs);
    EXPECT_EQ(1, watch.SwivletMenus());
    EXPECT_EQ(1, watch.SwivletMenus(pid));
    EXPECT_EQ(0, OwnMenus(watch)) << "the program opened its own menu as well";
    EXPECT_EQ(0, RightPressesSeen()) << "the press reached the program";
    EXPECT_EQ(std::vector<HWND>{popup}, Shown()) << "another menu stayed up";
    std::vector<InkBand> bands = MenuInkBands(popup);
    ASSERT_GE(bands.size(), 2u);
    EXPECT_TRUE(bands[0].grey && !bands[0].dark) << "\"Push\" is not greyed";
    EXPECT_TRUE(bands[1].dark) << "\"Arrange Icons\" is not enabled";
    CloseAllMenus();

    // Held until Escape has closed the menu: the release meets no menu.
    watch.Clear();
    PointAt(700, 520);
    MouseButton(700, 520, MOUSEEVENTF_RIGHTDOWN);
    bool shown = WaitForMenuOf(pid) != NULL;
    CloseAllMenus();
    bool ended = WaitFor([&] { return !InMenuOrCapture(); });
    MouseButton(700, 520, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(shown) << "no Swivlet menu for the held press";
    ASSERT_TRUE(ended) << "the menu held on to the pointer";
    FlushEvents(kQuietMs);
    EXPECT_EQ(1, watch.SwivletMenus(pid));
    EXPECT_EQ(0, OwnMenus(watch)) << "the release reached the program";
    EXPECT_EQ(0, RightPressesSeen());
}

// A press on an icon is the desktop program's alone.
TEST_F(ShellDesktop, AnIconIsLeftToTheDesktopsProgram)
{
    ASSERT_TRUE(StartShell());
    MenuWatch watch;
    RightPressAndRelease(Icon());
    ASSERT_TRUE(WaitFor([&] { return !Shown().empty(); }))
        << "the program showed no menu of its own";
    FlushEvents(kQuietMs);
    EXPECT_EQ(0, watch.SwivletMenus());
    EXPECT_EQ(1, OwnMenus(watch));
    std::vector<HWND> shown = Shown();
    ASSERT_EQ(1u, shown.size());
    EXPECT_FALSE(OwnedByMenuWindow(shown[0]));
    EXPECT_EQ(1, RightPressesSeen());
}

// With Shift held the press on empty space is the program's: its own menu,
// and none of Swivlet's.
TEST_F(ShellDesktop, ShiftLeavesEmptySpaceToTheDesktopsProgram)
{
    ASSERT_TRUE(StartShell());
    MenuWatch watch;
    INPUT shift[2] = {};
    shift[0].type = shift[1].type = INPUT_KEYBOARD;
    shift[0].ki.wVk = shift[1].ki.wVk = VK_SHIFT;
    shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
    // Pressed after the pointer has come to rest, just before the button:
    // Wine sets the modifiers back to the X server's, which holds none, when
    // a window of its gains the focus.
    PointAt(700, 520);
    SendInput(1, &shift[0], sizeof shift[0]);
    MouseButton(700, 520, MOUSEEVENTF_RIGHTDOWN);
    Sleep(60);
    MouseButton(700, 520, MOUSEEVENTF_RIGHTUP);
    bool shown = WaitFor([&] { return !Shown().empty(); });
    SendInput(1, &shift[1], sizeof shift[1]);
    ASSERT_TRUE(shown) << "no menu";
    FlushEvents(kQuietMs);
    EXPECT_EQ(0, watch.SwivletMenus());
    EXPECT_EQ(1, OwnMenus(watch));
    EXPECT_EQ(1, RightPressesSeen());
}

TEST_F(ShellDesktop, DisableDesktopMenuTurnsItOff)
{
    profile.Set("DisableDesktopMenu", "1");
    ASSERT_TRUE(StartShell());
    MenuWatch watch;
    RightPressAndRelease({700, 520});
    ASSERT_TRUE(WaitFor([&] { return !Shown().empty(); }))
        << "the program showed no menu of its own";
    FlushEvents(kQuietMs);
    EXPECT_EQ(0, watch.SwivletMenus());
    EXPECT_EQ(1, OwnMenus(watch));
}
