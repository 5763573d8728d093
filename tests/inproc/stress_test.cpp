// Hostile and heavy conditions: many windows, many loads, windows vanishing
// under the menu, a menu window that could not be made.
#include "libfixture.h"

#include "logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace swv;

namespace
{

using Stress = LibraryTest;

// Vetoes the creation of windows of the class "TaskWindow" on this thread.
LRESULT CALLBACK VetoMenuWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto *cbt = reinterpret_cast<CBT_CREATEWNDA *>(lParam);
        if (!IS_INTRESOURCE(cbt->lpcs->lpszClass) &&
            strcmp(cbt->lpcs->lpszClass, "TaskWindow") == 0)
            return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

TEST_F(Stress, ThreeHundredWindowsGiveThirtyTasksAndTileTheFrontThirty)
{
    std::vector<HWND> mine;
    for (int i = 0; i < 300; i++)
        mine.push_back(
            CreateTestWindow(("Crowd " + std::to_string(i)).c_str(), i % 200, i % 150, 220, 140));
    FlushEvents();
    MenuCapture m = ShowMenu();
    ASSERT_TRUE(m.appeared);
    ASSERT_EQ(30, lib.GetTaskWindowNumber());
    EXPECT_EQ(7u + 30u, m.items.size());
    std::vector<HWND> order = ZOrder(mine);
    std::vector<HWND> listed = TaskHandles();
    EXPECT_EQ(std::vector<HWND>(order.begin(), order.begin() + 30), listed);

    lib.TileWindows();
    FlushEvents();
    TileGrid g = MakeTileGrid(30, GetSystemMetrics(SM_CXSCREEN), UsableHeight());
    ASSERT_EQ(6, g.columns);
    ASSERT_EQ(5, g.rows);
    for (int k = 0; k < 30; k++) {
        Placement p = TileCell(&g, k);
        EXPECT_WINDOWPOS(listed[k], p.x, p.y, p.cx, p.cy);
    }
    // The windows behind the thirty are not touched.
    for (size_t i = 30; i < order.size(); i += 37) {
        int n = (int)(std::find(mine.begin(), mine.end(), order[i]) - mine.begin());
        EXPECT_WINDOWPOS(order[i], n % 200, n % 150, 220, 140);
    }
}

TEST(StressLifecycle, TwoHundredLoadsAndUnloadsLeaveNothingBehind)
{
    HWND probe = CreateTestWindow("Cycle probe", 100, 100, 300, 200);
    FlushEvents();
    DWORD user0 = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD gdi0 = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    HMODULE last = NULL;
    for (int i = 0; i < 200; i++) {
        SwvLib lib;
        ASSERT_TRUE(lib.Load()) << "cycle " << i;
        ASSERT_NE(nullptr, lib.MenuWindow()) << "cycle " << i;
        last = lib.module;
        lib.Free();
    }
    FlushEvents();
    EXPECT_TRUE(MenuWindowsOfProcess(GetCurrentProcessId()).empty());
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(last, "TaskWindow", &wc));
    // No hook left: mouse input does not bring the library back.
    RECT r;
    GetWindowRect(probe, &r);
    for (int i = 0; i < 4; i++) {
        MoveCursorTo(r.left + 40 + 20 * i, r.top + 80);
        FlushEvents(40);
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("swv32.dll"));
    DWORD user1 = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD gdi1 = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (user0 == 0 && user1 == 0)
        std::printf("note: this system does not count USER/GDI objects per process\n");
    EXPECT_EQ(user0, user1);
    EXPECT_EQ(gdi0, gdi1);
    DestroyTestWindows();
}

TEST_F(Stress, AWindowClosedWhileTheMenuIsOpenCanStillBeChosen)
{
    HWND a = CreateTestWindow("Stays A", 100, 100, 300, 200);
    HWND gone = CreateTestWindow("Goes away", 140, 140, 300, 200);
    HWND b = CreateTestWindow("Stays B", 180, 180, 300, 200);
    FlushEvents();
    PostMessageA(menu, WM_SHOWTASKMENU, 0, 0);
    MenuCapture m = ShowQueuedMenu({VK_ESCAPE}, [&] {
        PostMessageA(gone, WM_CLOSE, 0, 0);
        Sleep(200);
    });
    ASSERT_TRUE(m.appeared);
    ASSERT_FALSE(IsWindow(gone));
    int index = -1;
    for (int i = 0; i < lib.GetTaskWindowNumber(); i++)
        if (lib.GetWindowHandle(i) == gone)
            index = i;
    ASSERT_GE(index, 0);
    Command(100 + index);
    EXPECT_TRUE(IsWindow(menu)) << "the library survived";
    std::vector<HWND> list = TaskHandles();
    lib.TileWindows();
    lib.Push();
    FlushEvents();
    ExpectTiled(list);
    (void)a;
    (void)b;
}

TEST(StressLifecycle, WithoutAMenuWindowAPressPostsNothingToTheProgram)
{
    HHOOK veto = SetWindowsHookExA(WH_CBT, VetoMenuWindow, NULL, GetCurrentThreadId());
    SwvLib lib;
    bool loaded = lib.Load();
    UnhookWindowsHookEx(veto);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(nullptr, lib.MenuWindow());
    HWND w = CreateTestWindow("No menu window", 100, 100, 300, 200);
    MOUSEHOOKSTRUCT data = {};
    data.hwnd = w;
    data.wHitTestCode = HTCAPTION;
    lib.FMMouseHook(HC_ACTION, WM_NCRBUTTONDOWN, (LPARAM)&data);
    data.hwnd = GetDesktopWindow();
    lib.FMMouseHook(HC_ACTION, WM_RBUTTONDOWN, (LPARAM)&data);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, (HWND)-1, WM_USER + 10, WM_USER + 10, PM_REMOVE))
        << "a thread message the program could take for its own";
    lib.Free();
    DestroyTestWindows();
}
