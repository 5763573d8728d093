// The menu called up by real right-clicks on a desktop where the loader runs.
#include "menuwatch.h"
#include "session.h"

#include <utility>

using namespace swv;

namespace
{

class Menu : public DesktopSession
{
  protected:
    // The selectable entries of a menu, in order, as the arrow keys meet them.
    static std::vector<MenuItem> Selectable(const MenuCapture &m)
    {
        std::vector<MenuItem> items;
        for (const auto &item : m.items)
            if (!(item.type & MFT_SEPARATOR))
                items.push_back(item);
        return items;
    }

    // A program nobody here wrote, or the window helper, started, its main
    // window shown and the library brought in; NULL when that failed.
    HWND StartProgram(const std::string &cmd)
    {
        helpers.push_back(std::make_unique<Process>());
        Process &p = *helpers.back();
        HWND main = NULL;
        if (!p.Start(cmd) || !WaitFor([&] { return (main = MainWindowOf(p.Pid())) != NULL; }))
            return NULL;
        SetWindowPos(main, NULL, 100, 100, 480, 340, SWP_NOZORDER);
        return BringLibraryInto(main, 5000) ? main : NULL;
    }

    static BOOL CALLBACK FindMain(HWND h, LPARAM l)
    {
        auto *f = reinterpret_cast<std::pair<DWORD, HWND> *>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == f->first && IsWindowVisible(h) && !GetWindow(h, GW_OWNER) &&
            (GetWindowLongA(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            f->second = h;
        return f->second == NULL;
    }

    static HWND MainWindowOf(DWORD pid)
    {
        std::pair<DWORD, HWND> found(pid, NULL);
        EnumWindows(FindMain, (LPARAM)&found);
        return found.second;
    }

    // Asks the window helper one of its counts.
    static DWORD_PTR Query(HWND helper, WPARAM what)
    {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(helper, RegisterWindowMessageA("SwvTest.Query"), what, 0,
                            SMTO_ABORTIFHUNG, 2000, &r);
        return r;
    }

    static HWND CaptureOf(HWND hwnd)
    {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, NULL), &gti);
        return gti.hwndCapture;
    }

    static std::vector<std::string> TaskCaptions(const MenuCapture &m)
    {
        std::vector<std::string> captions;
        for (const auto &item : m.items)
            if (item.id >= 100 && item.id < 130)
                captions.push_back(item.text);
        return captions;
    }
};

} // namespace

TEST_F(Menu, CaptionPressShowsOneMenuWithPushEnabledAndTasksInZOrder)
{
    std::vector<HWND> other = StartHelper({"Other A@560,300,300,200", "Other B@600,340,300,200"});
    ASSERT_EQ(2u, other.size());
    Hover(other[1]);
    HWND mine = CreateTestWindow("Swivlet test window", 60, 60, 420, 260);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == mine; }));
    MenuWatch watch;
    std::vector<HWND> upAtTheEnd;
    MenuCapture m = RightClickOwnCaption(mine, {VK_ESCAPE}, [&] {
        Sleep(kQuietMs); // up long enough for a second menu to show
        upAtTheEnd = VisiblePopupMenus();
        SaveScreenshot("menu-caption");
    });
    ASSERT_TRUE(m.appeared);
    EXPECT_EQ(1, watch.SwivletMenus());
    EXPECT_EQ(std::vector<HWND>{m.popup}, upAtTheEnd) << "another menu is up beside Swivlet's";
    ASSERT_GE(m.items.size(), 10u);
    EXPECT_EQ("Push", m.items[0].text);
    EXPECT_FALSE(m.items[0].state & MFS_GRAYED);
    std::vector<std::string> tasks = TaskCaptions(m);
    std::vector<std::string> expected;
    for (HWND h : ZOrder({mine, other[0], other[1]}))
        expected.push_back(WindowText(h));
    std::vector<std::string> ours;
    for (const auto &t : tasks)
        if (t == expected[0] || t == expected[1] || t == expected[2])
            ours.push_back(t);
    EXPECT_EQ(expected, ours);
    EXPECT_EQ(WindowText(mine), tasks.front()) << "the clicked window is the front-most task";
}

TEST_F(Menu, OnePressShowsOneMenuWhicheverProgramsHoldTheLibrary)
{
    // A second loader adds a second hook: each press runs the hook twice.
    Process second;
    ASSERT_TRUE(second.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(second));
    std::vector<HWND> a = StartHelper({"First program@80,80,320,220"});
    std::vector<HWND> b = StartHelper({"Second program@460,80,320,220"});
    ASSERT_EQ(1u, a.size());
    ASSERT_EQ(1u, b.size());
    Hover(a[0]);
    Hover(b[0]);
    for (HWND target : {a[0], b[0], a[0]}) {
        SCOPED_TRACE(WindowText(target));
        MenuWatch watch;
        RightPressAndRelease(CaptionPoint(target));
        ASSERT_TRUE(watch.WaitForSwivletMenus(1)) << "no menu";
        HWND popup = WaitForMenuOf(PidOf(target));
        ASSERT_NE(nullptr, popup) << "no menu in the clicked program";
        FlushEvents(kQuietMs);
        EXPECT_EQ(std::vector<HWND>{popup}, VisiblePopupMenus()) << "another menu is up";
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));
        EXPECT_EQ(1, watch.SwivletMenus());
    }
    EXPECT_EQ(0u, QuitLoader(second));
}

TEST_F(Menu, DesktopPressShowsPushGreyed)
{
    POINT pt = {700, 420};
    RightPressAndRelease(pt);
    DWORD desktopPid = PidOf(GetDesktopWindow());
    HWND popup = WaitForMenuOf(desktopPid);
    ASSERT_NE(nullptr, popup) << "no menu from the desktop's program";
    std::vector<InkBand> bands;
    WaitFor([&] { return (bands = MenuInkBands(popup)).size() >= 2; }, 3000);
    SaveScreenshot("menu-desktop");
    ASSERT_GE(bands.size(), 2u);
    EXPECT_FALSE(bands[0].dark) << "\"Push\" is drawn in the text colour";
    EXPECT_TRUE(bands[0].grey) << "\"Push\" is not drawn greyed";
    EXPECT_TRUE(bands[1].dark) << "\"Arrange Icons\" is not drawn enabled";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));
}

TEST_F(Menu, ChoosingATaskWithTheKeyboardBringsItsWindowToTheTop)
{
    std::vector<HWND> other =
        StartHelper({"Keyboard A@500,300,300,200", "Keyboard B@540,340,300,200"});
    ASSERT_EQ(2u, other.size());
    HWND mine = CreateTestWindow("Keyboard chooser", 60, 60, 420, 260);
    WaitFor([&] { return bool(ZOrderIs({mine, other[1], other[0]})); });
    ASSERT_TRUE(ZOrderIs({mine, other[1], other[0]}));
    MenuCapture chosen = RightClickOwnCaption(mine, {}, [&] {
        // Down to the entry of "Keyboard A", then Enter.
        HWND popup = VisiblePopupMenus(GetCurrentProcessId()).front();
        HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
        int downs = 0;
        for (int i = 0, n = GetMenuItemCount(menu); i < n; i++) {
            char text[64] = "";
            GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
            if (GetMenuState(menu, (UINT)i, MF_BYPOSITION) & MF_SEPARATOR)
                continue;
            downs++;
            if (std::string(text) == "Keyboard A")
                break;
        }
        for (int i = 0; i < downs; i++) {
            PressKey(VK_DOWN);
            Sleep(40); // a typist's pace
        }
        PressKey(VK_RETURN);
    });
    ASSERT_TRUE(chosen.appeared);
    WaitFor([&] { return bool(ZOrderIs({other[0], mine, other[1]})); }, 3000);
    EXPECT_TRUE(ZOrderIs({other[0], mine, other[1]}));
}

TEST_F(Menu, ClosesWhenTheUserClicksOutsideIt)
{
    std::vector<HWND> other = StartHelper({"Outside click@100,100,320,220"});
    ASSERT_EQ(1u, other.size());
    Hover(other[0]);
    RightPressAndRelease(CaptionPoint(other[0]));
    HWND popup = WaitForMenuOf(PidOf(other[0]));
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(WaitFor([popup] { return MenuTakesInput(popup); }));
    LeftClickAt(800, 650);
    EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));

    RightPressAndRelease({700, 420});
    popup = WaitForMenuOf(PidOf(GetDesktopWindow()));
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(WaitFor([popup] { return MenuTakesInput(popup); }));
    LeftClickAt(200, 150);
    EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));
}

// Programs whose own DefWindowProc opens the system menu on a caption click.
static const char *const kPrograms[] = {
    "notepad.exe", "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"", nullptr};

// A caption press that calls the menu up, and its release, are Swivlet's: the
// window hears of neither, so only Swivlet's menu opens, no system menu even
// for a moment, and the mouse is not left captured.
TEST_F(Menu, CaptionClickOpensSwivletsMenuAndNoneOfTheWindows)
{
    for (const char *program : kPrograms) {
        SCOPED_TRACE(program ? program : "window helper");
        HWND target = StartProgram(program ? program
                                           : "\"" + BinPath("swvtestwin.exe") +
                                                 "\" \"Clicked@100,100,480,340\"");
        ASSERT_NE(nullptr, target);
        MenuWatch watch;
        RightPressAndRelease(CaptionPoint(target));
        ASSERT_NE(nullptr, WaitForMenuOf(PidOf(target))) << "no menu";
        FlushEvents(kQuietMs);
        EXPECT_EQ(1, watch.SwivletMenus(PidOf(target)));
        EXPECT_EQ(1, watch.AllMenus()) << "another menu opened";
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));
        EXPECT_EQ(nullptr, CaptureOf(target)) << "the mouse is left captured";
        if (!program) {
            EXPECT_EQ(0u, Query(target, 6)) << "WM_SYSCOMMAND SC_MOUSEMENU";
            EXPECT_EQ(0u, Query(target, 7)) << "WM_CONTEXTMENU";
            EXPECT_EQ(0u, Query(target, 8)) << "right-button messages";
        }
        helpers.clear();
    }
}

// With Shift held the click is the window's: its system menu, not Swivlet's.
TEST_F(Menu, ShiftClickOnACaptionOpensTheWindowsOwnMenu)
{
    for (const char *program : kPrograms) {
        SCOPED_TRACE(program ? program : "window helper");
        HWND target = StartProgram(program ? program
                                           : "\"" + BinPath("swvtestwin.exe") +
                                                 "\" \"Shifted@100,100,480,340\"");
        ASSERT_NE(nullptr, target);
        POINT pt = CaptionPoint(target);
        INPUT shift[2] = {};
        shift[0].type = shift[1].type = INPUT_KEYBOARD;
        shift[0].ki.wVk = shift[1].ki.wVk = VK_SHIFT;
        shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
        MenuWatch watch;
        // Pressed once the pointer is at rest, as Wine takes the modifiers
        // from the X server when one of its windows gains the focus.
        PointAt(pt.x, pt.y);
        SendInput(1, &shift[0], sizeof shift[0]);
        MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTDOWN);
        Sleep(60);
        MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTUP);
        bool shown = WaitFor([&] { return !VisiblePopupMenus(PidOf(target)).empty(); });
        SendInput(1, &shift[1], sizeof shift[1]);
        ASSERT_TRUE(shown) << "no menu";
        FlushEvents(kQuietMs);
        EXPECT_EQ(0, watch.SwivletMenus());
        EXPECT_EQ(1, watch.AllMenus(PidOf(target)));
        if (!program) {
            EXPECT_LE(1u, Query(target, 6) + Query(target, 7))
                << "the window was not asked for its menu";
        }
        CloseAllMenus();
        helpers.clear();
    }
}
