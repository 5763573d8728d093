// Push, Tile and Cascade chosen with the keyboard from the menu called up on
// a caption of another program, as a user does.
#include "session.h"

using namespace swv;

namespace
{

class ArrangeFromMenu : public DesktopSession
{
  protected:
    std::vector<HWND> ShowWindows(int n)
    {
        std::vector<std::string> layout;
        for (int i = 0; i < n; i++)
            layout.push_back("Window " + std::to_string(i) + "@" + std::to_string(60 + 40 * i) +
                             "," + std::to_string(50 + 30 * i) + ",300,200");
        std::vector<HWND> windows = StartHelper(layout);
        if (!windows.empty())
            Hover(windows.back());
        return windows;
    }

    // Calls the menu up on the caption of `target` and chooses the entry
    // reached by `downs` presses of the Down key; `whileShown` runs while
    // the menu is up. Returns the Z-order of `windows` as it stood then.
    std::vector<HWND> Choose(HWND target, int downs, const std::vector<HWND> &windows,
                             const std::function<void()> &whileShown = nullptr)
    {
        // The press brings the target to the front, but under Wine its own
        // thread does that later, now and then even after the command has
        // run; in front first, the order the command finds is known.
        SetForegroundWindow(target);
        EXPECT_TRUE(WaitFor([&] { return ZOrder(windows).front() == target; }))
            << "\"" << WindowText(target) << "\" did not come to the front";
        std::vector<HWND> order;
        EXPECT_TRUE(ChooseFromMenuOn(target, downs,
                                     [&] {
                                         order = ZOrder(windows);
                                         if (whileShown)
                                             whileShown();
                                     }))
            << "no menu on \"" << WindowText(target) << "\"";
        EXPECT_TRUE(WaitFor([] { return VisiblePopupMenus().empty(); }, 3000));
        return order;
    }

    static int UsableHeight()
    {
        return GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICONSPACING);
    }
};

} // namespace

TEST_F(ArrangeFromMenu, TileLaysTheOtherProgramsWindowsInAGrid)
{
    std::vector<HWND> windows = ShowWindows(5);
    ASSERT_EQ(5u, windows.size());
    Choose(windows[2], DOWNS_TILE, windows);
    // The clicked window comes to the front (under Wine, by the time the
    // command runs, not always while the menu is up); the others keep
    // their order, the last shown on top.
    const std::vector<HWND> list = {windows[2], windows[4], windows[3], windows[1], windows[0]};
    EXPECT_TRUE(Eventually([&] { return ZOrderIs(list); }));
    // Five windows: two columns, three rows, the last row's right cell empty.
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = UsableHeight() / 3;
    const int cells[5][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}};
    for (int k = 0; k < 5; k++)
        EXPECT_WINDOWPOS(list[k], cells[k][0] * cx, cells[k][1] * cy, cx, cy);
    SaveScreenshot("tile");
}

TEST_F(ArrangeFromMenu, CascadeStacksTheOtherProgramsWindows)
{
    std::vector<HWND> windows = ShowWindows(4);
    ASSERT_EQ(4u, windows.size());
    Choose(windows[1], DOWNS_CASCADE, windows);
    const std::vector<HWND> list = {windows[1], windows[3], windows[2], windows[0]};
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = UsableHeight();
    for (int k = 0; k < 4; k++) {
        HWND h = list[3 - k];
        EXPECT_WINDOWPOS(h, k * step, k * step, cx - k * step, cy - k * step);
    }
    EXPECT_TRUE(Eventually([&] { return ZOrderIs(list); }))
        << "the clicked window in front, the others in their order";
    SaveScreenshot("cascade");
}

TEST_F(ArrangeFromMenu, PushSendsTheClickedWindowBehindTheOthers)
{
    std::vector<HWND> windows = ShowWindows(4);
    ASSERT_EQ(4u, windows.size());
    std::vector<RECT> before(4);
    for (int i = 0; i < 4; i++)
        GetWindowRect(windows[i], &before[i]);
    Choose(windows[2], DOWNS_PUSH, windows);
    // Behind the others, which keep their order, the last shown on top
    // (whether or not the press had brought it to the front by then).
    EXPECT_TRUE(Eventually([&] {
        return ZOrderIs({windows[3], windows[1], windows[0], windows[2]});
    }));
    for (int i = 0; i < 4; i++) {
        RECT r;
        GetWindowRect(windows[i], &r);
        EXPECT_TRUE(EqualRect(&before[i], &r)) << "Push moved \"" << WindowText(windows[i]) << "\"";
    }
}

// Push among the windows of several programs, chosen in the target's own
// program: the others keep their order in front of it, and the front-most of
// them is the active window.
TEST_F(ArrangeFromMenu, PushAmongProgramsKeepsTheirOrderAndActivatesTheNext)
{
    // Side by side: Wine's X11 driver copies the display's stacking back into
    // the window order when a window is exposed, and the display applies the
    // raises of different programs in whatever order their requests arrive,
    // so overlapping windows of several programs can end in another order
    // there than the one Push set. Windows does no such thing.
    std::vector<HWND> windows;
    for (int i = 0; i < 4; i++) {
        std::vector<HWND> one =
            StartHelper({"Program " + std::to_string(i) + "@" + std::to_string(20 + 500 * (i % 2)) +
                         "," + std::to_string(20 + 360 * (i / 2)) + ",460,320"});
        ASSERT_EQ(1u, one.size());
        windows.push_back(one[0]);
    }
    Hover(windows[3]);
    std::vector<HWND> list = Choose(windows[3], DOWNS_PUSH, windows);
    ASSERT_EQ(4u, list.size());
    ASSERT_EQ(windows[3], list.front());
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == list[1]; }, 2000))
        << "active: \"" << WindowText(GetForegroundWindow()) << "\"";
    EXPECT_TRUE(Eventually([&] { return ZOrderIs({list[1], list[2], list[3], list[0]}); }));
}

// The same with programs nobody here wrote, each with a system menu of its
// own on a caption press: Registry Editor in front pushes itself behind
// WineMine and Notepad, in that order, and WineMine is then active. Side by
// side, for the reason above.
TEST_F(ArrangeFromMenu, PushAmongRealProgramsKeepsTheirOrder)
{
    const char *const programs[][2] = {{"notepad.exe", "Untitled - Notepad"},
                                       {"winemine.exe", "WineMine"},
                                       {"regedit.exe", "Registry Editor"}};
    const POINT places[] = {{20, 20}, {20, 400}, {520, 20}};
    std::vector<HWND> windows;
    for (int i = 0; i < 3; i++) {
        helpers.push_back(std::make_unique<Process>());
        ASSERT_TRUE(helpers.back()->Start(programs[i][0]));
        HWND h = WaitForWindow(programs[i][1], helpers.back()->Pid());
        ASSERT_NE(nullptr, h) << programs[i][1];
        windows.push_back(h);
        ASSERT_TRUE(WaitFor([h] { return GetForegroundWindow() == h; }));
        // WineMine's size is its board's.
        UINT keep = SWP_NOZORDER | SWP_NOACTIVATE | (i == 1 ? SWP_NOSIZE : 0);
        ASSERT_TRUE(SetWindowPos(h, NULL, places[i].x, places[i].y, 480, 340, keep));
    }
    Hover(windows[2]);
    std::vector<HWND> list = Choose(windows[2], DOWNS_PUSH, windows);
    ASSERT_EQ((std::vector<HWND>{windows[2], windows[1], windows[0]}), list)
        << "Registry Editor was not in front of WineMine and Notepad";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == windows[1]; }, 2000))
        << "active: \"" << WindowText(GetForegroundWindow()) << "\"";
    EXPECT_TRUE(Eventually([&] { return ZOrderIs({windows[1], windows[0], windows[2]}); }));
}

// The same through a stand-in for the desktop window manager that answers as
// Windows 10 and 11 do, for windows the test marks: a cloaked window (on
// another virtual desktop) and the borders of a window's rectangle that are
// not drawn.
class ArrangeWithDwm : public ArrangeFromMenu
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dwm.Installed()) << "no stand-in in the system folder";
        ArrangeFromMenu::SetUp();
    }

    // How many entries of the menu showing in the program of `shown` bear
    // the title of `titled`.
    static int Entries(HWND shown, HWND titled)
    {
        DWORD_PTR n = 0;
        SendMessageTimeoutA(shown, RegisterWindowMessageA("SwvTest.Query"), 10, (LPARAM)titled,
                            SMTO_ABORTIFHUNG, 2000, &n);
        return (int)n;
    }

    SystemDwmScope dwm; // before the loader and the helpers start
};

// A cloaked window is no task: not listed, and Tile, Cascade and Push leave
// it where it is, in the grid, the stack and the order of the others.
TEST_F(ArrangeWithDwm, ACloakedWindowIsNotListedAndNeverArranged)
{
    std::vector<HWND> w = ShowWindows(4);
    ASSERT_EQ(4u, w.size());
    ASSERT_TRUE(MarkCloaked(w[1]));
    RECT cloaked;
    GetWindowRect(w[1], &cloaked);
    auto unmoved = [&] {
        return WindowPosIs(w[1], cloaked.left, cloaked.top, cloaked.right - cloaked.left,
                           cloaked.bottom - cloaked.top);
    };

    int listed = -1, other = -1;
    Choose(w[2], DOWNS_TILE, w, [&] { // 2, 3, 1, 0 from the top
        listed = Entries(w[2], w[1]);
        other = Entries(w[2], w[0]);
    });
    EXPECT_EQ(0, listed) << "the cloaked window is listed";
    EXPECT_EQ(1, other);
    // Three tasks: two columns, two rows.
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = UsableHeight() / 2;
    EXPECT_WINDOWPOS(w[2], 0, 0, cx, cy);
    EXPECT_WINDOWPOS(w[3], cx, 0, cx, cy);
    EXPECT_WINDOWPOS(w[0], 0, cy, cx, cy);
    EXPECT_TRUE(Eventually(unmoved)) << "Tile moved it";

    Choose(w[2], DOWNS_CASCADE, w);
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const HWND backFirst[] = {w[0], w[3], w[2]};
    for (int k = 0; k < 3; k++)
        EXPECT_WINDOWPOS(backFirst[k], k * step, k * step, GetSystemMetrics(SM_CXSCREEN) - k * step,
                         UsableHeight() - k * step);
    EXPECT_TRUE(Eventually(unmoved)) << "Cascade moved it";

    // From 2, 3, 1, 0: 0 and 3 are raised, 1 is not.
    Choose(w[2], DOWNS_PUSH, w);
    EXPECT_TRUE(Eventually([&] { return ZOrderIs({w[3], w[0], w[2], w[1]}); }));
    EXPECT_TRUE(Eventually(unmoved)) << "Push moved it";
}

// Borders of 7, 0, 7 and 7 pixels, as Windows 10 and 11 give a sizable
// window: Tile puts the visible frames edge to edge in their cells and
// Cascade steps the visible frames; a window without such borders is placed
// as ever.
TEST_F(ArrangeWithDwm, VisibleFramesFillTheirCellsAndPlaces)
{
    std::vector<HWND> w = ShowWindows(3);
    ASSERT_EQ(3u, w.size());
    ASSERT_TRUE(MarkBorders(w[1], 7, 0, 7, 7));
    ASSERT_TRUE(MarkBorders(w[2], 7, 0, 7, 7));

    Choose(w[1], DOWNS_TILE, w); // 1, 2, 0 from the top
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = UsableHeight() / 2;
    EXPECT_WINDOWPOS(w[1], -7, 0, cx + 14, cy + 7);
    EXPECT_WINDOWPOS(w[2], cx - 7, 0, cx + 14, cy + 7);
    EXPECT_WINDOWPOS(w[0], 0, cy, cx, cy);

    // The back-most, without borders, fills the working area as ever.
    Choose(w[1], DOWNS_CASCADE, w);
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    int cxScreen = GetSystemMetrics(SM_CXSCREEN), cyUsable = UsableHeight();
    EXPECT_WINDOWPOS(w[0], 0, 0, cxScreen, cyUsable);
    EXPECT_WINDOWPOS(w[2], step - 7, step, cxScreen - step + 14, cyUsable - step + 7);
    EXPECT_WINDOWPOS(w[1], 2 * step - 7, 2 * step, cxScreen - 2 * step + 14,
                     cyUsable - 2 * step + 7);
}
