// Loading and unloading the menu library in this process.
#include "testsupport.h"

#include <cstring>

using namespace swv;

namespace
{

class LibraryLifecycle : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        lib.Free();
        DestroyTestWindows();
    }

    // Moves the pointer over a window of this thread and lets the input arrive.
    void StirMouseOver(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        for (int i = 0; i < 4; i++) {
            MoveCursorTo(r.left + 30 + 20 * i, r.top + 60 + 10 * i);
            FlushEvents(40);
        }
    }

    SwvLib lib;
};

UINT QueryMessage()
{
    static UINT msg = RegisterWindowMessageA("SwvTest.Query");
    return msg;
}

// Starts the window helper with one window, moves the pointer over it for up
// to waitMs, and asks it whether the hook has brought the library into it.
LRESULT LibraryArrivesInOtherProgram(Process &helper, const char *title, DWORD waitMs = 5000)
{
    HWND other = StartWindowHelper(helper, title, "300,200,300,200");
    if (!other)
        return -1;
    // The library arrives with the program's first mouse input after the
    // hook was set; the pointer moves on until it has, or the bound passes.
    DWORD_PTR loaded = 0;
    int step = 0;
    WaitFor(
        [&] {
            MoveCursorTo(350 + 25 * (step % 5), 300 + 10 * (step % 5));
            step++;
            return SendMessageTimeoutA(other, QueryMessage(), 1, 0, SMTO_ABORTIFHUNG, 5000,
                                       &loaded) &&
                   loaded == 1;
        },
        waitMs);
    return (LRESULT)loaded;
}

} // namespace

TEST_F(LibraryLifecycle, LoadRegistersTheWindowClass)
{
    ASSERT_TRUE(lib.Load());
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(lib.module, "TaskWindow", &wc));
    EXPECT_EQ((UINT)(CS_VREDRAW | CS_HREDRAW), wc.style);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(0, wc.cbWndExtra);
    EXPECT_EQ(nullptr, wc.hbrBackground);
    EXPECT_EQ(nullptr, wc.lpszMenuName);
}

TEST_F(LibraryLifecycle, LoadCreatesHiddenMenuWindowOwnedByLoadingThread)
{
    ASSERT_TRUE(lib.Load());
    HWND menu = lib.MenuWindow();
    ASSERT_NE(nullptr, menu) << "no TaskWindow belongs to the loading thread";
    EXPECT_EQ("filedll", WindowText(menu));
    EXPECT_EQ((LONG)WS_POPUP,
              GetWindowLongA(menu, GWL_STYLE) & (LONG)(WS_POPUP | WS_CHILD | WS_CAPTION));
    EXPECT_EQ(0, GetWindowLongA(menu, GWL_EXSTYLE) & ~WS_EX_LEFT);
    EXPECT_EQ(nullptr, GetWindow(menu, GW_OWNER));
    EXPECT_EQ((LONG_PTR)lib.module, GetWindowLongPtrA(menu, GWLP_HINSTANCE));
    EXPECT_EQ((LONG_PTR)lib.FMDeskWndProc, GetWindowLongPtrA(menu, GWLP_WNDPROC));
    FlushEvents(kQuietMs);
    EXPECT_FALSE(IsWindowVisible(menu));
    EXPECT_EQ(1u, MenuWindowsOfProcess(GetCurrentProcessId()).size());
}

struct LoadJob {
    SwvLib lib;
    HWND menu;
};

DWORD WINAPI LoadOnThisThread(void *p)
{
    auto *job = static_cast<LoadJob *>(p);
    job->lib.Load();
    job->menu = job->lib.MenuWindow();
    return 0;
}

DWORD WINAPI DoNothing(void *)
{
    return 0;
}

TEST_F(LibraryLifecycle, MenuWindowBelongsToTheThreadThatLoadsTheLibrary)
{
    LoadJob job = {};
    HANDLE t = CreateThread(NULL, 0, LoadOnThisThread, &job, 0, NULL);
    WaitForSingleObject(t, 10000);
    CloseHandle(t);
    ASSERT_NE(nullptr, job.menu);
    EXPECT_EQ(nullptr, lib.MenuWindow()) << "the main thread must own no menu window";
    job.lib.Free();
}

TEST_F(LibraryLifecycle, UnloadRemovesClassAndWindow)
{
    ASSERT_TRUE(lib.Load());
    HMODULE module = lib.module;
    HWND menu = lib.MenuWindow();
    ASSERT_NE(nullptr, menu);
    lib.Free();
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(module, "TaskWindow", &wc));
    EXPECT_FALSE(IsWindow(menu));
    EXPECT_EQ(nullptr, GetModuleHandleA(SWV_LIBRARY));
}

TEST_F(LibraryLifecycle, UnloadLeavesNoHookBehind)
{
    HWND hwnd = CreateTestWindow("Hook probe", 100, 100, 400, 300);
    ASSERT_TRUE(lib.Load());
    StirMouseOver(hwnd);
    lib.Free();
    ASSERT_EQ(nullptr, GetModuleHandleA(SWV_LIBRARY));
    // A hook left installed would have the system map the library back in
    // to call it for this thread's mouse input.
    StirMouseOver(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, NULL, (POINT *)&r, 2);
    RightClickAt(r.left + 50, r.top + 50);
    FlushEvents(kQuietMs);
    EXPECT_EQ(nullptr, GetModuleHandleA(SWV_LIBRARY));
}

// The copy there does nothing until that program's first call-up: every
// program the pointer merely passes over would pay for it.
TEST_F(LibraryLifecycle, HookBringsTheLibraryIntoOtherProgramsWhereItWaitsForACallUp)
{
    ASSERT_TRUE(lib.Load());
    Process helper;
    EXPECT_EQ(1, LibraryArrivesInOtherProgram(helper, "Hook target"));
    HWND theirs = WaitForWindow("Hook target", helper.Pid());
    DWORD_PTR windows = 99, registered = 99;
    SendMessageTimeoutA(theirs, QueryMessage(), 2, 0, SMTO_ABORTIFHUNG, 5000, &windows);
    SendMessageTimeoutA(theirs, QueryMessage(), 5, 0, SMTO_ABORTIFHUNG, 5000, &registered);
    EXPECT_EQ(0u, windows) << "a menu window before any call-up";
    EXPECT_EQ(0u, registered) << "the class registered before any call-up";
}

TEST_F(LibraryLifecycle, NoProgramReceivesTheLibraryAfterUnload)
{
    ASSERT_TRUE(lib.Load());
    // A program the hook brought the library into keeps it, but adds no
    // hook of its own that would carry it on into others.
    Process earlier;
    ASSERT_EQ(1, LibraryArrivesInOtherProgram(earlier, "Earlier hook target"));
    lib.Free();
    Process later;
    EXPECT_EQ(0, LibraryArrivesInOtherProgram(later, "Late hook target", kQuietMs));
    EXPECT_TRUE(earlier.Running());
}

TEST_F(LibraryLifecycle, ReloadStartsAfresh)
{
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(lib.Load());
        HWND menu = lib.MenuWindow();
        EXPECT_NE(nullptr, menu);
        EXPECT_EQ(1u, MenuWindowsOfProcess(GetCurrentProcessId()).size());
        lib.Free();
        EXPECT_FALSE(IsWindow(menu));
    }
}

TEST_F(LibraryLifecycle, ThreadNotificationsChangeNothing)
{
    ASSERT_TRUE(lib.Load());
    HWND menu = lib.MenuWindow();
    EXPECT_TRUE(lib.DllEntryPoint((HINSTANCE)lib.module, DLL_THREAD_ATTACH, NULL));
    EXPECT_TRUE(lib.DllEntryPoint((HINSTANCE)lib.module, DLL_THREAD_DETACH, NULL));
    HANDLE t = CreateThread(NULL, 0, DoNothing, NULL, 0, NULL);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(menu, lib.MenuWindow());
    EXPECT_TRUE(IsWindow(menu));
    EXPECT_EQ(1u, MenuWindowsOfProcess(GetCurrentProcessId()).size());
}

// Messages it does not handle get what the default procedure gives them:
// a text that can be set and read back, the answer to a session's end.
TEST_F(LibraryLifecycle, MenuWindowHandsOtherMessagesToTheDefaultProcedure)
{
    ASSERT_TRUE(lib.Load());
    HWND menu = lib.MenuWindow();
    char text[32] = "";
    EXPECT_EQ(7, SendMessageA(menu, WM_GETTEXT, sizeof text, (LPARAM)text));
    EXPECT_STREQ("filedll", text);
    EXPECT_TRUE(SendMessageA(menu, WM_SETTEXT, 0, (LPARAM) "renamed!"));
    EXPECT_EQ(8, SendMessageA(menu, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ("renamed!", WindowText(menu));
    EXPECT_EQ(TRUE, SendMessageA(menu, WM_QUERYENDSESSION, 0, 0));
    SendMessageA(menu, WM_SETTEXT, 0, (LPARAM) "filedll");
}

TEST(LibraryExports, EveryExportIsAtItsOrdinalUnderItsExactName)
{
    static const std::pair<WORD, const char *> expected[] = {
        {1, "DllEntryPoint"},
        {2, "FMDeskWndProc"},
        {3, "FMMouseHook"},
        {4, "EnumWndProc"},
        {5, "OpenHook"},
        {6, "TileWindows"},
        {7, "CascadeWindows"},
        {8, "Push"},
        {9, "Run"},
        {10, "SetWindow"},
        {11, "GetTaskWindowNumber"},
        {12, "GetWindowTitle"},
        {13, "GetWindowHandle"},
    };
    HMODULE module = LoadLibraryA(SWV_LIBRARY);
    ASSERT_NE(nullptr, module);
    auto exports = ModuleExports(module);
    ASSERT_EQ(sizeof expected / sizeof expected[0], exports.size());
    for (size_t i = 0; i < exports.size(); i++) {
        SCOPED_TRACE(expected[i].second);
        EXPECT_EQ(expected[i].first, exports[i].first);
        EXPECT_EQ(expected[i].second, exports[i].second);
        EXPECT_EQ(GetProcAddress(module, expected[i].second),
                  GetProcAddress(module, MAKEINTRESOURCEA(expected[i].first)));
    }
    FreeLibrary(module);
}
