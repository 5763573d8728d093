// The library in programs that did not start the menu: brought in by the
// hook, or loaded by the program itself.
#include "menuwatch.h"
#include "session.h"

using namespace swv;

namespace
{

std::string TestWin(const std::string &args)
{
    return "\"" + BinPath("swvtestwin.exe") + "\" " + args;
}

DWORD ThreadOf(HWND hwnd)
{
    return GetWindowThreadProcessId(hwnd, NULL);
}

struct WindowsOf {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOf(HWND hwnd, LPARAM param)
{
    auto *of = reinterpret_cast<WindowsOf *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == of->pid)
        of->found.push_back(hwnd);
    return TRUE;
}

} // namespace

// Loaded on one thread and freed on another, the copy must not leave a
// window whose code is gone: the next message would crash the program.
TEST(GuestCopy, FreedOnAnotherThreadTheProgramStillRuns)
{
    Process guest;
    ASSERT_TRUE(guest.Start(TestWin("--load-and-free \"Guest program@100,100,300,200\"")));
    HWND main = WaitForWindow("Guest program", guest.Pid());
    ASSERT_NE(nullptr, main);

    for (HWND m : MenuWindowsOfProcess(guest.Pid()))
        PostMessageA(m, WM_USER + 100, 0, 0);
    // What a broadcast brings, to the guest's windows alone: a broadcast
    // would make every program with a menu window, the desktop's among them,
    // bind the 3-D controls and hold them for the rest of the run.
    DWORD_PTR r;
    WindowsOf windows = {guest.Pid(), {}};
    EnumWindows(CollectWindowOf, (LPARAM)&windows);
    ASSERT_FALSE(windows.found.empty());
    for (HWND hwnd : windows.found) {
        SendMessageTimeoutA(hwnd, WM_SETTINGCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(hwnd, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
    }

    EXPECT_EQ((DWORD)STILL_ACTIVE, guest.Wait(kQuietMs)) << "the program ended";
    UINT query = RegisterWindowMessageA("SwvTest.Query");
    r = 0;
    EXPECT_TRUE(SendMessageTimeoutA(main, query, 1, 0, SMTO_ABORTIFHUNG, 5000, &r))
        << "the program no longer answers";
}

class GuestMenu : public DesktopSession
{
};

// The thread that first took mouse input in a program owns its menu window;
// when that thread ends, a press on a window of another thread still shows
// exactly one menu.
TEST_F(GuestMenu, AnEndedThreadTakesTheMenuWithItOnlyUntilTheNextPress)
{
    // The pointer waits where the first thread's window will be, so that this
    // thread takes the program's first mouse input.
    MoveCursorTo(200, 150);
    Process guest;
    ASSERT_TRUE(guest.Start(
        TestWin("--thread \"Splash window@50,50,300,200\" \"Main window@560,380,400,250\"")));
    HWND splash = WaitForWindow("Splash window", guest.Pid());
    HWND main = WaitForWindow("Main window", guest.Pid());
    ASSERT_NE(nullptr, splash);
    ASSERT_NE(nullptr, main);
    ASSERT_NE(ThreadOf(splash), ThreadOf(main));

    MenuWatch watch;
    RightPressAndRelease(CaptionPoint(splash));
    ASSERT_TRUE(watch.WaitForSwivletMenus(1)) << "no menu on the first thread's window";
    // A menu made is not yet a menu shown: close it once it is up.
    ASSERT_NE(nullptr, WaitForMenuOf(guest.Pid()));
    CloseAllMenus();
    std::vector<HWND> menuWindows = MenuWindowsOfProcess(guest.Pid());
    ASSERT_EQ(1u, menuWindows.size());
    ASSERT_EQ(ThreadOf(splash), ThreadOf(menuWindows[0]))
        << "the first mouse input went to another thread";

    PostMessageA(splash, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return MenuWindowsOfProcess(guest.Pid()).empty(); }));

    watch.Clear();
    RightPressAndRelease(CaptionPoint(main));
    EXPECT_TRUE(watch.WaitForSwivletMenus(1)) << "the press showed no menu";
    FlushEvents(kQuietMs);
    EXPECT_EQ(1, watch.SwivletMenus(guest.Pid()));
    EXPECT_EQ(1, watch.SwivletMenus());
    CloseAllMenus();
}

// A copy the hook brings into another program makes its menu window on the
// program's first call-up, binds the 3-D controls only on the first colour
// change, and forwards the change.
TEST_F(GuestMenu, FirstCallUpShowsTheMenuAndAColourChangeBindsThe3DControls)
{
    // Every loader binds the 3-D controls as it starts, and a library that a
    // program holds cannot be replaced: the stand-in goes in while no loader
    // runs, and the loader ends before it is taken out again.
    QuitLoader(loader);
    SystemCtl3dScope ctl3d;
    ASSERT_TRUE(ctl3d.InstallFake())
        << "error " << GetLastError() << "; held by" << ModulesLoadedFrom(ctl3d.Path());
    struct EndLoader {
        Process &p;
        ~EndLoader() { QuitLoader(p); }
    } endLoader{loader};
    ASSERT_TRUE(loader.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    Process guest;
    HWND hwnd = StartWindowHelper(guest, "Idle guest", "100,100,300,200");
    ASSERT_NE(nullptr, hwnd);
    ASSERT_TRUE(BringLibraryInto(hwnd, 5000)) << "the hook brought no library in";
    ASSERT_TRUE(MenuWindowsOfProcess(guest.Pid()).empty()) << "a menu window before any call-up";

    MenuWatch watch;
    RightPressAndRelease(CaptionPoint(hwnd));
    ASSERT_TRUE(watch.WaitForSwivletMenus(1)) << "no menu on the first call-up";
    EXPECT_EQ(1, watch.SwivletMenus(guest.Pid()));
    CloseAllMenus();
    std::vector<HWND> menus = MenuWindowsOfProcess(guest.Pid());
    ASSERT_EQ(1u, menus.size());

    // Lines end with the pid of the program that called.
    const std::string mine = " " + std::to_string(guest.Pid()) + "\r\n";
    EXPECT_EQ(std::string::npos, ctl3d.Log().find(mine)) << "bound before any colour change";
    DWORD_PTR r;
    SendMessageTimeoutA(menus[0], WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
    std::string log = ctl3d.Log();
    size_t at = log.find(mine);
    ASSERT_NE(std::string::npos, at) << log;
    size_t line = log.rfind('\n', at) + 1; // 0 for the first line
    EXPECT_EQ("ColorChange ", log.substr(line, 12)) << log;
}
