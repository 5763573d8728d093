// Hostile and heavy conditions: many windows, many loads, windows vanishing
// under the menu, a menu window that could not be made.
#include "libfixture.h"

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

    // A full list takes nothing more, even called directly.
    EXPECT_FALSE(lib.EnumWndProc(order[30], 0));
    EXPECT_EQ(30, lib.GetTaskWindowNumber());

    // Six columns by five rows.
    lib.TileWindows();
    FlushEvents();
    int cx = GetSystemMetrics(SM_CXSCREEN) / 6, cy = UsableHeight() / 5;
    for (int k = 0; k < 30; k++)
        EXPECT_WINDOWPOS(listed[k], (k % 6) * cx, (k / 6) * cy, cx, cy);
    // The windows behind the thirty are not touched.
    for (size_t i = 30; i < order.size(); i += 37) {
        int n = (int)(std::find(mine.begin(), mine.end(), order[i]) - mine.begin());
        EXPECT_WINDOWPOS(order[i], n % 200, n % 150, 220, 140);
    }
}

// Each cycle takes its window, its class and its module along; after the
// last, mouse input brings the library back into nothing: no hook is left.
TEST(StressLifecycle, TwoHundredLoadsAndUnloadsLeaveNothingBehind)
{
    HWND probe = CreateTestWindow("Cycle probe", 100, 100, 300, 200);
    FlushEvents();
    for (int i = 0; i < 200; i++) {
        SCOPED_TRACE(i);
        SwvLib lib;
        ASSERT_TRUE(lib.Load());
        HWND menu = lib.MenuWindow();
        ASSERT_NE(nullptr, menu);
        HMODULE module = lib.module;
        lib.Free();
        WNDCLASSA wc;
        ASSERT_FALSE(IsWindow(menu));
        ASSERT_FALSE(GetClassInfoA(module, "TaskWindow", &wc));
        ASSERT_EQ(nullptr, GetModuleHandleA(SWV_LIBRARY));
    }
    EXPECT_TRUE(MenuWindowsOfProcess(GetCurrentProcessId()).empty());
    RECT r;
    GetWindowRect(probe, &r);
    for (int i = 0; i < 4; i++) {
        MoveCursorTo(r.left + 40 + 20 * i, r.top + 80);
        FlushEvents(40);
    }
    EXPECT_EQ(nullptr, GetModuleHandleA(SWV_LIBRARY));
    DestroyTestWindows();
}

// Where the platform counts USER and GDI objects per process, loads and
// unloads leave the counts as they were.
TEST(StressLifecycle, LoadsAndUnloadsLeaveNoUserOrGdiObjects)
{
    HWND probe = CreateTestWindow("Count probe", 100, 100, 300, 200);
    FlushEvents();
    DWORD user0 = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD gdi0 = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (user0 == 0) {
        DestroyWindow(probe);
        GTEST_SKIP() << "this platform counts no USER objects per process: a process "
                        "with a window has 0";
    }
    for (int i = 0; i < 50; i++) {
        SwvLib lib;
        ASSERT_TRUE(lib.Load());
        lib.Free();
    }
    FlushEvents();
    EXPECT_EQ(user0, GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    EXPECT_EQ(gdi0, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    DestroyTestWindows();
}

TEST_F(Stress, AWindowClosedWhileTheMenuIsOpenCanStillBeChosen)
{
    HWND a = CreateTestWindow("Stays A", 100, 100, 300, 200);
    HWND gone = CreateTestWindow("Goes away", 140, 140, 300, 200);
    HWND b = CreateTestWindow("Stays B", 180, 180, 300, 200);
    FlushEvents();
    PostMessageA(menu, WM_SHOWTASKMENU, 0, 0);
    // Closed from the reader's thread while the menu is up; the window goes
    // once this thread handles the close, inside the menu's loop.
    MenuCapture m = ShowQueuedMenu({VK_ESCAPE}, [&] {
        PostMessageA(gone, WM_CLOSE, 0, 0);
        for (int i = 0; i < 200 && IsWindow(gone); i++)
            Sleep(10);
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
