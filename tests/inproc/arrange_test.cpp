// Push, Tile and Cascade, against real windows, with the live metrics.
#include "libfixture.h"

#include <atomic>
#include <memory>
#include <thread>

using namespace swv;

namespace
{

class Arrange : public LibraryTest
{
  protected:
    // Windows at distinct places, the last one created on top.
    std::vector<HWND> Windows(int n, const char *prefix = "Arrange")
    {
        std::vector<HWND> made;
        for (int i = 0; i < n; i++) {
            std::string title = std::string(prefix) + " " + std::to_string(i);
            made.push_back(CreateTestWindow(title.c_str(), 40 + 13 * i, 30 + 11 * i, 240, 160));
        }
        FlushEvents();
        return made;
    }

    // The windows of `mine`, front-most first: the task list a call-up builds
    // here, where no other program shows windows.
    std::vector<HWND> BuildList(const std::vector<HWND> &mine)
    {
        ShowMenu();
        std::vector<HWND> list = TaskHandles();
        EXPECT_EQ(ZOrder(mine), Among(list, mine));
        return list;
    }

    static int CascadeStep()
    {
        return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    }

    void SetPushTo(const char *value)
    {
        profile.Set("PushTo", value);
        SendMessageA(menu, WM_WININICHANGE, 0, (LPARAM) "Swivlet");
    }
};

} // namespace

TEST_F(Arrange, TileFillsTheWorkingAreaRowByRow)
{
    for (int n : {1, 3, 5, 7}) {
        SCOPED_TRACE(n);
        std::vector<HWND> mine = Windows(n);
        std::vector<HWND> list = BuildList(mine);
        // Untitled, so no task window: the focus is elsewhere until Tile moves it.
        HWND elsewhere = CreateTestWindow("", 500, 400, 200, 150, WS_POPUP | WS_VISIBLE);
        SetFocus(elsewhere);
        ASSERT_EQ(elsewhere, GetFocus());
        lib.TileWindows();
        FlushEvents();
        ExpectTiled(list);
        EXPECT_EQ(list[0], GetFocus());
        DestroyTestWindows();
    }
}

TEST_F(Arrange, TileOfOneWindowCoversTheWorkingArea)
{
    std::vector<HWND> mine = Windows(1);
    BuildList(mine);
    lib.TileWindows();
    EXPECT_WINDOWPOS(mine[0], 0, 0, GetSystemMetrics(SM_CXSCREEN), UsableHeight());
}

TEST_F(Arrange, TileGivesAMinimisedWindowNoCell)
{
    std::vector<HWND> mine = Windows(3);
    ShowWindow(mine[1], SW_MINIMIZE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    RECT before;
    GetWindowRect(mine[1], &before);
    lib.TileWindows();
    ExpectTiled(list);
    EXPECT_TRUE(IsIconic(mine[1]));
    // The two others share the screen side by side.
    EXPECT_WINDOWPOS(list[0], 0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, UsableHeight());
    RECT after;
    GetWindowRect(mine[1], &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Arrange, TileRestoresAMaximisedWindowAndPlacesIt)
{
    std::vector<HWND> mine = Windows(2);
    ShowWindow(mine[0], SW_MAXIMIZE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    lib.TileWindows();
    FlushEvents();
    EXPECT_FALSE(IsZoomed(mine[0]));
    ExpectTiled(list);
}

TEST_F(Arrange, TileWithEveryWindowMinimisedChangesNothing)
{
    std::vector<HWND> mine = Windows(3);
    for (HWND h : mine)
        ShowWindow(h, SW_MINIMIZE);
    // Untitled, so no task window.
    HWND focus = CreateTestWindow("", 500, 400, 200, 150, WS_POPUP | WS_VISIBLE);
    FlushEvents();
    BuildList(mine);
    SetFocus(focus);
    std::vector<RECT> before;
    for (HWND h : mine) {
        RECT r;
        GetWindowRect(h, &r);
        before.push_back(r);
    }
    lib.TileWindows();
    FlushEvents();
    for (size_t i = 0; i < mine.size(); i++) {
        RECT r;
        GetWindowRect(mine[i], &r);
        EXPECT_TRUE(IsIconic(mine[i]));
        EXPECT_TRUE(EqualRect(&before[i], &r));
    }
    EXPECT_EQ(focus, GetFocus());
}

TEST_F(Arrange, TilePlacesTheOthersWhereTheBatchWouldWhenAWindowHasGone)
{
    std::vector<HWND> mine = Windows(4);
    std::vector<HWND> list = BuildList(mine);
    // Closed after the list was built: its place in the batch fails.
    HWND gone = list[1];
    DestroyWindow(gone);
    FlushEvents();
    lib.TileWindows();
    FlushEvents();
    ExpectTiled(list);
}

TEST_F(Arrange, CascadeStacksFromTheBackMostWindow)
{
    std::vector<HWND> mine = Windows(4);
    ShowWindow(mine[2], SW_MAXIMIZE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    lib.CascadeWindows();
    FlushEvents();
    EXPECT_FALSE(IsZoomed(mine[2]));
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = UsableHeight(), step = CascadeStep();
    for (int k = 0; k < (int)list.size(); k++) {
        HWND h = list[list.size() - 1 - k];
        EXPECT_WINDOWPOS(h, k * step, k * step, cx - k * step, cy - k * step);
    }
    EXPECT_TRUE(ZOrderIs(list)) << "Cascade keeps the Z-order";
}

TEST_F(Arrange, CascadeSkipsMinimisedWindowsWithoutTakingAStep)
{
    std::vector<HWND> mine = Windows(4);
    // The back-most of the list, minimised: as in the worked example.
    ShowWindow(mine[0], SW_MINIMIZE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    ASSERT_EQ(mine[0], list.back());
    lib.CascadeWindows();
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = UsableHeight(), step = CascadeStep();
    EXPECT_TRUE(IsIconic(mine[0]));
    EXPECT_WINDOWPOS(list[2], 0, 0, cx, cy);
    EXPECT_WINDOWPOS(list[1], step, step, cx - step, cy - step);
    EXPECT_WINDOWPOS(list[0], 2 * step, 2 * step, cx - 2 * step, cy - 2 * step);
}

TEST_F(Arrange, CascadeRefreshesTheListFirst)
{
    std::vector<HWND> mine = Windows(2);
    BuildList(mine);
    // Opened while the menu was up, and one closed.
    HWND late = CreateTestWindow("Late window", 300, 300, 200, 150);
    DestroyWindow(mine[0]);
    FlushEvents();
    lib.CascadeWindows();
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = UsableHeight(), step = CascadeStep();
    EXPECT_WINDOWPOS(mine[1], 0, 0, cx, cy);
    EXPECT_WINDOWPOS(late, step, step, cx - step, cy - step);
    EXPECT_EQ(2, lib.GetTaskWindowNumber());
}

TEST_F(Arrange, CascadeWithNothingToPlaceMovesNothing)
{
    std::vector<HWND> mine = Windows(2);
    BuildList(mine);
    for (HWND h : mine)
        ShowWindow(h, SW_HIDE);
    HWND hidden = CreateTestWindow("Hidden", 10, 20, 200, 150, WS_OVERLAPPEDWINDOW);
    FlushEvents();
    lib.CascadeWindows();
    EXPECT_EQ(0, lib.GetTaskWindowNumber());
    EXPECT_WINDOWPOS(hidden, 10, 20, 200, 150);
    EXPECT_WINDOWPOS(mine[0], 40, 30, 240, 160);
}

TEST_F(Arrange, PushSendsTheTargetBehindTheOtherTaskWindows)
{
    std::vector<HWND> mine = Windows(5);
    std::vector<HWND> list = BuildList(mine);
    ASSERT_EQ(5u, list.size());
    std::vector<RECT> before(5);
    for (int i = 0; i < 5; i++)
        GetWindowRect(list[i], &before[i]);
    PressCaption(list[3]);
    TakeCallUps();
    lib.Push();
    FlushEvents();
    EXPECT_TRUE(ZOrderIs({list[0], list[1], list[2], list[4], list[3]}));
    EXPECT_EQ(list[0], GetFocus());
    for (int i = 0; i < 5; i++) {
        RECT r;
        GetWindowRect(list[i], &r);
        EXPECT_TRUE(EqualRect(&before[i], &r)) << "Push moved or sized entry " << i;
    }
}

TEST_F(Arrange, PushOfTheFrontMostWindowFocusesTheNext)
{
    std::vector<HWND> mine = Windows(3);
    std::vector<HWND> list = BuildList(mine);
    lib.SetWindow(list[0]);
    lib.Push();
    FlushEvents();
    EXPECT_TRUE(ZOrderIs({list[1], list[2], list[0]}));
    EXPECT_EQ(list[1], GetFocus());
}

TEST_F(Arrange, PushLeavesThePushToBackMostEntriesAlone)
{
    std::vector<HWND> mine = Windows(5);
    std::vector<HWND> list = BuildList(mine);
    SetPushTo("1");
    lib.SetWindow(list[2]);
    lib.Push();
    EXPECT_TRUE(ZOrderIs({list[0], list[1], list[3], list[2], list[4]}));

    // A hand-written 2: the two back-most stay behind the target.
    list = BuildList(mine);
    SetPushTo("2");
    lib.SetWindow(list[0]);
    lib.Push();
    EXPECT_TRUE(ZOrderIs({list[1], list[2], list[0], list[3], list[4]}));
}

TEST_F(Arrange, PushWithPushToCoveringTheListRaisesNothingButFocuses)
{
    std::vector<HWND> mine = Windows(3);
    std::vector<HWND> list = BuildList(mine);
    for (const char *value : {"3", "30", "2147483647"}) {
        SCOPED_TRACE(value);
        SetPushTo(value);
        lib.SetWindow(list[1]);
        HWND other = CreateTestWindow("Focus elsewhere", 600, 400, 200, 150);
        FlushEvents();
        lib.Push();
        FlushEvents();
        EXPECT_TRUE(ZOrderIs({other, list[0], list[1], list[2]}));
        EXPECT_EQ(list[0], GetFocus());
        DestroyWindow(other);
        FlushEvents();
    }
}

// After a longer list, the slots past the count still hold its handles: a
// negative count must not reach them.
TEST_F(Arrange, NegativePushToCountsAsZero)
{
    std::vector<HWND> mine = Windows(6);
    BuildList(mine);
    // Untitled, the two back-most leave the list but stay in its slots 4 and 5.
    SetWindowTextA(mine[0], "");
    SetWindowTextA(mine[1], "");
    std::vector<HWND> list = BuildList({mine[2], mine[3], mine[4], mine[5]});
    ASSERT_EQ(4u, list.size());
    SetPushTo("-2");
    lib.SetWindow(list[1]);
    lib.Push();
    EXPECT_TRUE(ZOrderIs({list[0], list[2], list[3], list[1], mine[1], mine[0]}));
}

TEST_F(Arrange, PushRaisesMinimisedEntriesAndRestoresNothing)
{
    std::vector<HWND> mine = Windows(4);
    ShowWindow(mine[1], SW_MINIMIZE);
    ShowWindow(mine[2], SW_MAXIMIZE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    lib.SetWindow(list[0]);
    lib.Push();
    FlushEvents();
    EXPECT_TRUE(ZOrderIs({list[1], list[2], list[3], list[0]}));
    EXPECT_TRUE(IsIconic(mine[1]));
    EXPECT_TRUE(IsZoomed(mine[2]));
}

TEST_F(Arrange, PushWithNoOtherTaskLeavesTheFocusAlone)
{
    std::vector<HWND> mine = Windows(1);
    HWND focus = CreateTestWindow("", 600, 400, 200, 150, WS_POPUP | WS_VISIBLE);
    FlushEvents();
    BuildList(mine);
    ASSERT_EQ(1, lib.GetTaskWindowNumber());
    lib.SetWindow(mine[0]);
    SetFocus(focus);
    lib.Push();
    EXPECT_EQ(focus, GetFocus());
}

TEST_F(Arrange, PushPlacesTheOthersWhenAWindowHasGone)
{
    std::vector<HWND> mine = Windows(5);
    std::vector<HWND> list = BuildList(mine);
    lib.SetWindow(list[2]);
    DestroyWindow(list[3]);
    FlushEvents();
    lib.Push();
    EXPECT_TRUE(ZOrderIs({list[0], list[1], list[4], list[2]}));
}

// What the hook and SetWindow make the target, seen through Push, which
// sends the target behind the other task windows.
class Target : public Arrange
{
  protected:
    // The task window Push leaves at the back.
    HWND PushedWindow(const std::vector<HWND> &list)
    {
        lib.Push();
        FlushEvents();
        return ZOrder(list).back();
    }
};

TEST_F(Target, CaptionPressOfAnOwnedWindowTargetsTheRootOfItsOwners)
{
    std::vector<HWND> mine = Windows(3);
    // Owned by the middle entry: a climb that stops short of the root gives
    // no task window, and Push would leave the back-most entry at the back.
    HWND owned =
        CreateTestWindow("Owned", 200, 200, 200, 120, WS_POPUP | WS_CAPTION | WS_VISIBLE, mine[1]);
    HWND ownedByOwned = CreateTestWindow("Owned twice", 220, 220, 200, 120,
                                         WS_POPUP | WS_CAPTION | WS_VISIBLE, owned);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    PressCaption(ownedByOwned);
    EXPECT_EQ(1, TakeCallUps());
    // Closed before the Push: under Wine, a window that owns shown windows
    // drops behind the others once the Push's events are handled, whatever
    // the target.
    DestroyWindow(ownedByOwned);
    DestroyWindow(owned);
    FlushEvents();
    EXPECT_EQ(mine[1], PushedWindow(list));
}

TEST_F(Target, CaptionPressOfAChildWindowTargetsItsTopLevelWindow)
{
    std::vector<HWND> mine = Windows(3);
    HWND child =
        CreateChildWindow(mine[1], "Child with caption", 10, 10, 150, 100, WS_CAPTION | WS_VISIBLE);
    HWND grandchild =
        CreateChildWindow(child, "Grandchild", 5, 30, 100, 50, WS_CAPTION | WS_VISIBLE);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    PressCaption(grandchild);
    EXPECT_EQ(1, TakeCallUps());
    EXPECT_EQ(mine[1], PushedWindow(list));
}

TEST_F(Target, OtherPressesLeaveTheTargetAsItWas)
{
    std::vector<HWND> mine = Windows(3);
    std::vector<HWND> list = BuildList(mine);
    PressCaption(list[1]);
    Hook(HC_ACTION, WM_NCRBUTTONDOWN, list[0], HTSYSMENU);
    Hook(HC_ACTION, WM_NCRBUTTONDOWN, list[2], HTBORDER);
    Hook(HC_ACTION, WM_NCRBUTTONUP, list[2], HTCAPTION);
    Hook(-1, WM_NCRBUTTONDOWN, list[2], HTCAPTION);
    profile.Set("DisableTitleMenu", "1");
    SendMessageA(menu, WM_WININICHANGE, 0, 0);
    PressCaption(list[0]);
    TakeCallUps();
    EXPECT_EQ(list[1], PushedWindow(list));
}

TEST_F(Target, SetWindowTargetsTheRootOfTheOwnerChain)
{
    std::vector<HWND> mine = Windows(3);
    HWND dialog =
        CreateTestWindow("Dialog", 200, 200, 200, 120, WS_POPUP | WS_CAPTION | WS_VISIBLE, mine[2]);
    FlushEvents();
    std::vector<HWND> list = BuildList(mine);
    lib.SetWindow(dialog);
    EXPECT_EQ(mine[2], PushedWindow(list));
    lib.SetWindow(mine[0]);
    EXPECT_EQ(mine[0], PushedWindow(list));
    EXPECT_EQ(0, TakeCallUps()) << "SetWindow calls nothing up";
}

TEST_F(Target, DesktopPressTargetsTheDesktopSoPushMovesEveryTask)
{
    std::vector<HWND> mine = Windows(3);
    std::vector<HWND> list = BuildList(mine);
    PressDesktop();
    TakeCallUps();
    lib.Push();
    EXPECT_TRUE(ZOrderIs(list)) << "every entry raised, back-most first";
    EXPECT_EQ(list[0], GetFocus());
}

// The climb ends however long the chain of owners: one deeper than any real
// program builds, or a loop, which Windows lets a program make (Wine does
// not). The pressed window is then the target, and it is no task window.
TEST_F(Target, TheClimbEndsHoweverLongTheOwnerChain)
{
    std::vector<HWND> mine = Windows(3);
    std::vector<HWND> list = BuildList(mine);
    // Below the front-most window, which a wrong target would send back.
    HWND deepest = list[0];
    for (int i = 0; i < 300; i++)
        deepest = CreateTestWindow("Chain", 0, 0, 100, 80, WS_POPUP | WS_CAPTION, deepest);
    SetWindowLongPtrA(list[0], GWLP_HWNDPARENT, (LONG_PTR)deepest);

    // The press runs on a thread of its own, so that a hook that never returns
    // fails the test instead of hanging it. Nothing here pumps meanwhile: the
    // call-up stays queued.
    std::atomic<bool> returned{false};
    std::thread press([&] {
        PressCaption(deepest);
        returned = true;
    });
    for (int i = 0; i < 500 && !returned; i++)
        Sleep(10);
    SetWindowLongPtrA(list[0], GWLP_HWNDPARENT, 0);
    if (!returned) {
        press.detach();
        FAIL() << "the hook did not return";
    }
    press.join();
    EXPECT_EQ(1, TakeCallUps());
    lib.Push();
    EXPECT_TRUE(ZOrderIs(list)) << "a task window was taken for the target";
}

// A task window whose program has stopped answering holds nothing up: it is
// listed by its title and left where it is, and every other window takes its
// place as usual. A command waits for the hung program once (400 ms), though
// it has two windows and one of them is maximised, which Tile and Cascade
// would restore.
TEST_F(Arrange, AHungProgramsWindowHoldsNothingUp)
{
    Process hung;
    ASSERT_TRUE(
        hung.Start("\"" + BinPath("swvtestwin.exe") +
                   "\" \"Hung program@600,420,200,150\" \"Hung maximised@0,0,200,150,max\""));
    HWND h = WaitForWindow("Hung program", hung.Pid());
    HWND hMax = WaitForWindow("Hung maximised", hung.Pid());
    ASSERT_NE(nullptr, h);
    ASSERT_NE(nullptr, hMax);
    std::vector<HWND> mine = Windows(2);
    PostMessageA(h, RegisterWindowMessageA("SwvTest.Query"), 4, 60000);
    DWORD_PTR r;
    ASSERT_TRUE(WaitFor([&] { return !SendMessageTimeoutA(h, WM_NULL, 0, 0, 0, 50, &r); }));

    ASSERT_TRUE(ShowMenu().appeared);
    std::vector<HWND> list = TaskHandles();
    ASSERT_EQ((std::vector<HWND>{mine[1], mine[0], hMax, h}), list);
    ASSERT_EQ("Hung program", Title(3));

    // Four windows: two columns, two rows; the hung ones keep their cells empty.
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = UsableHeight();
    DWORD start = GetTickCount();
    lib.TileWindows();
    EXPECT_LT(GetTickCount() - start, 1000u) << "Tile waited on the hung program again";
    EXPECT_WINDOWPOS(mine[1], 0, 0, cx / 2, cy / 2);
    EXPECT_WINDOWPOS(mine[0], cx / 2, 0, cx / 2, cy / 2);
    EXPECT_WINDOWPOS(h, 600, 420, 200, 150);
    EXPECT_TRUE(IsZoomed(hMax));

    // The hung ones are the back-most: their offsets stay unused.
    int step = CascadeStep();
    start = GetTickCount();
    lib.CascadeWindows();
    EXPECT_LT(GetTickCount() - start, 1000u) << "Cascade waited on the hung program again";
    EXPECT_WINDOWPOS(mine[0], 2 * step, 2 * step, cx - 2 * step, cy - 2 * step);
    EXPECT_WINDOWPOS(mine[1], 3 * step, 3 * step, cx - 3 * step, cy - 3 * step);
    EXPECT_WINDOWPOS(h, 600, 420, 200, 150);

    start = GetTickCount();
    Command(100 + 3);
    EXPECT_LT(GetTickCount() - start, 1000u) << "the task switch waited on the hung window";
}

namespace
{
// The screen at another size for one test, and back afterwards.
class ScreenSize
{
  public:
    ScreenSize(int cx, int cy)
    {
        DEVMODEA dm = {};
        dm.dmSize = sizeof dm;
        dm.dmPelsWidth = cx;
        dm.dmPelsHeight = cy;
        dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        ok_ = ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL &&
              GetSystemMetrics(SM_CXSCREEN) == cx && GetSystemMetrics(SM_CYSCREEN) == cy;
    }
    ~ScreenSize() { ChangeDisplaySettingsA(NULL, 0); }
    bool ok() const { return ok_; }

  private:
    bool ok_ = false;
};
} // namespace

// Thirty windows on 640 x 480: the cascade begins again at the corner before a
// window would fall below the smallest size, and no window leaves the
// working area. Up to there, each stands one step on from the one behind.
TEST_F(Arrange, CascadeOfThirtyOnASmallScreenKeepsEveryWindowWhole)
{
    ScreenSize small(640, 480);
    if (!small.ok())
        GTEST_SKIP() << "the display cannot be set to 640 x 480";
    std::vector<HWND> mine = Windows(30, "Small");
    lib.CascadeWindows();
    FlushEvents();
    std::vector<HWND> list = TaskHandles();
    ASSERT_EQ(30u, list.size());
    int step = CascadeStep(), cy = UsableHeight();
    int cxMin = GetSystemMetrics(SM_CXMIN), cyMin = GetSystemMetrics(SM_CYMIN);
    for (int k = 0; k < 30; k++) {
        SCOPED_TRACE(k);
        RECT r;
        GetWindowRect(list[29 - k], &r);
        EXPECT_GE(r.right - r.left, cxMin);
        EXPECT_GE(r.bottom - r.top, cyMin);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, 640);
        EXPECT_LE(r.bottom, cy);
    }
    for (int k = 0; k < 5; k++)
        EXPECT_WINDOWPOS(list[29 - k], k * step, k * step, 640 - k * step, cy - k * step);
}
