// The mouse hook, called with the data the system would give it.
#include "libfixture.h"
#include "menuwatch.h"

using namespace swv;

namespace
{

class MouseHook : public LibraryTest
{
  protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        window = CreateTestWindow("Hook window", 100, 100, 300, 200);
        FlushEvents();
    }
    HWND window = NULL;
};

} // namespace

TEST_F(MouseHook, CaptionPressCallsTheMenuUpOnce)
{
    PressCaption(window);
    EXPECT_EQ(1, TakeCallUps());
}

TEST_F(MouseHook, EveryNonNegativeCodeCallsUp)
{
    Hook(HC_NOREMOVE, WM_NCRBUTTONDOWN, window, HTCAPTION);
    EXPECT_EQ(1, TakeCallUps());
    Hook(HC_NOREMOVE, WM_RBUTTONDOWN, GetDesktopWindow(), HTCLIENT);
    EXPECT_EQ(1, TakeCallUps());
}

TEST_F(MouseHook, NegativeCodeIsOnlyPassedOn)
{
    Hook(-1, WM_NCRBUTTONDOWN, window, HTCAPTION);
    Hook(-1, WM_RBUTTONDOWN, GetDesktopWindow(), HTCLIENT);
    EXPECT_EQ(0, TakeCallUps());
}

TEST_F(MouseHook, OtherNonClientPartsCallNothingUp)
{
    static const UINT parts[] = {HTBORDER,    HTLEFT,      HTRIGHT,      HTTOP,         HTBOTTOM,
                                 HTTOPLEFT,   HTTOPRIGHT,  HTBOTTOMLEFT, HTBOTTOMRIGHT, HTSYSMENU,
                                 HTMINBUTTON, HTMAXBUTTON, HTCLOSE,      HTMENU,        HTNOWHERE,
                                 HTCLIENT,    HTVSCROLL,   HTHELP};
    for (UINT part : parts) {
        SCOPED_TRACE(part);
        PressCaption(window); // a caption press first: the target must stay
        TakeCallUps();
        Hook(HC_ACTION, WM_NCRBUTTONDOWN, window, part);
        EXPECT_EQ(0, TakeCallUps());
    }
}

TEST_F(MouseHook, ReleasesOtherButtonsAndMovesCallNothingUp)
{
    HWND desktop = GetDesktopWindow();
    struct {
        UINT msg;
        HWND hwnd;
        UINT hit;
    } cases[] = {
        {WM_NCRBUTTONUP, window, HTCAPTION},     {WM_RBUTTONUP, desktop, HTCLIENT},
        {WM_NCLBUTTONDOWN, window, HTCAPTION},   {WM_LBUTTONDOWN, desktop, HTCLIENT},
        {WM_NCMBUTTONDOWN, window, HTCAPTION},   {WM_MBUTTONDOWN, desktop, HTCLIENT},
        {WM_NCRBUTTONDBLCLK, window, HTCAPTION}, {WM_RBUTTONDBLCLK, desktop, HTCLIENT},
        {WM_NCMOUSEMOVE, window, HTCAPTION},     {WM_MOUSEMOVE, desktop, HTCLIENT},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.msg);
        Hook(HC_ACTION, c.msg, c.hwnd, c.hit);
        EXPECT_EQ(0, TakeCallUps());
    }
}

// The press on the desktop window itself, and its release, are passed on
// (what the rest of the chain answers, 0 here), not taken.
TEST_F(MouseHook, ClientPressCallsUpOnlyOnTheDesktop)
{
    Hook(HC_ACTION, WM_RBUTTONDOWN, window, HTCLIENT);
    EXPECT_EQ(0, TakeCallUps());
    EXPECT_EQ(0, Hook(HC_ACTION, WM_RBUTTONDOWN, GetDesktopWindow(), HTCLIENT));
    EXPECT_EQ(1, TakeCallUps());
    EXPECT_EQ(0, Hook(HC_ACTION, WM_RBUTTONUP, GetDesktopWindow(), HTCLIENT));
}

TEST_F(MouseHook, DesktopCallUpGreysPushAndCaptionCallUpDoesNot)
{
    PressDesktop();
    MenuCapture desktop = ShowQueuedMenu();
    ASSERT_TRUE(desktop.appeared);
    ASSERT_FALSE(desktop.items.empty());
    EXPECT_EQ("Push", desktop.items[0].text);
    EXPECT_TRUE(desktop.items[0].state & MFS_GRAYED);

    PressCaption(window);
    MenuCapture caption = ShowQueuedMenu();
    ASSERT_TRUE(caption.appeared);
    ASSERT_FALSE(caption.items.empty());
    EXPECT_EQ("Push", caption.items[0].text);
    EXPECT_FALSE(caption.items[0].state & MFS_GRAYED);
}

TEST_F(MouseHook, SeveralCallUpsQueuedTogetherShowOneMenu)
{
    MenuWatch watch;
    MenuCloser closer(GetCurrentProcessId());
    PressCaption(window);
    PressCaption(window);
    PressCaption(window);
    ASSERT_TRUE(watch.WaitForSwivletMenus(1));
    FlushEvents(kQuietMs);
    EXPECT_EQ(1, watch.SwivletMenus());
}

TEST_F(MouseHook, ProfileChangeReloadsTheSettingsWhateverItNames)
{
    profile.Set("DisableTitleMenu", "1");
    SendMessageA(menu, WM_WININICHANGE, 0, (LPARAM) "Swivlet");
    PressCaption(window);
    EXPECT_EQ(0, TakeCallUps());

    profile.Set("DisableTitleMenu", NULL);
    SendMessageA(menu, WM_WININICHANGE, 0, 0);
    PressCaption(window);
    EXPECT_EQ(1, TakeCallUps());

    profile.Set("DisableDesktopMenu", "1");
    SendMessageA(menu, WM_WININICHANGE, 0, (LPARAM) "windows");
    PressDesktop();
    EXPECT_EQ(0, TakeCallUps());
    PressCaption(window);
    EXPECT_EQ(1, TakeCallUps());
}

// A press that calls the menu up is taken, and with it the next right release
// of its window's thread, whichever message carries it; any right press ends
// that wait. A release of another thread is not the press's.
TEST_F(MouseHook, ATakenPressTakesTheNextRightReleaseOfItsThread)
{
    HWND elsewhere = GetDesktopWindow(); // another program's thread
    EXPECT_NE(0, PressCaption(window));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_RBUTTONUP, elsewhere, HTCLIENT));
    EXPECT_NE(0, Hook(HC_NOREMOVE, WM_RBUTTONUP, window, HTCLIENT));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_RBUTTONUP, window, HTCLIENT));

    EXPECT_NE(0, PressCaption(window));
    EXPECT_NE(0, Hook(HC_ACTION, WM_NCRBUTTONUP, window, HTCAPTION));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_NCRBUTTONUP, window, HTCAPTION));

    EXPECT_NE(0, PressCaption(window));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_NCRBUTTONDOWN, window, HTBORDER));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_NCRBUTTONUP, window, HTBORDER));
    EXPECT_EQ(3, TakeCallUps());
}

// Turned off, or with Shift held, a caption press calls nothing up and is
// passed on with its release.
TEST_F(MouseHook, APressThatCallsNothingUpIsPassedWithItsRelease)
{
    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    keys[VK_SHIFT] = 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_EQ(0, PressCaption(window));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_RBUTTONUP, window, HTCLIENT));
    keys[VK_SHIFT] = 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_EQ(0, TakeCallUps()) << "Shift held";

    profile.Set("DisableTitleMenu", "1");
    SendMessageA(menu, WM_WININICHANGE, 0, 0);
    EXPECT_EQ(0, PressCaption(window));
    EXPECT_EQ(0, Hook(HC_ACTION, WM_NCRBUTTONUP, window, HTCAPTION));
    EXPECT_EQ(0, TakeCallUps()) << "turned off";
}

namespace
{
// What reached the window: right presses on the caption and in the client
// area, right releases, system menu commands and context menu requests.
int ncPresses, clientPresses, releases, mouseMenus, contextMenus;
WNDPROC previousProc;

LRESULT CALLBACK CountPresses(HWND h, UINT m, WPARAM w, LPARAM l)
{
    ncPresses += m == WM_NCRBUTTONDOWN;
    clientPresses += m == WM_RBUTTONDOWN;
    releases += m == WM_NCRBUTTONUP || m == WM_RBUTTONUP;
    mouseMenus += m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_MOUSEMENU;
    contextMenus += m == WM_CONTEXTMENU;
    return CallWindowProcA(previousProc, h, m, w, l);
}

class ClickedWindow : public MouseHook
{
  protected:
    void SetUp() override
    {
        MouseHook::SetUp();
        ncPresses = clientPresses = releases = mouseMenus = contextMenus = 0;
        previousProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountPresses);
        caption = CaptionPoint(window);
    }
    // Press and release as a user does, whatever the window is doing between;
    // with shift, Shift is held from just before the press until the press
    // has been handled.
    void RightClickCaption(bool shift)
    {
        INPUT key[2] = {};
        key[0].type = key[1].type = INPUT_KEYBOARD;
        key[0].ki.wVk = key[1].ki.wVk = VK_SHIFT;
        key[1].ki.dwFlags = KEYEVENTF_KEYUP;
        PointAt(caption.x, caption.y);
        if (shift)
            SendInput(1, &key[0], sizeof key[0]);
        MouseButton(caption.x, caption.y, MOUSEEVENTF_RIGHTDOWN);
        Sleep(60); // held as long as a user holds it
        MouseButton(caption.x, caption.y, MOUSEEVENTF_RIGHTUP);
        if (shift) {
            WaitFor([] { return ncPresses > 0; }, 2000);
            SendInput(1, &key[1], sizeof key[1]);
        }
    }
    POINT caption = {};
};
} // namespace

// The press that calls the menu up and its release are Swivlet's: the window
// hears of neither, so its own system menu never opens and it holds no
// capture. A client press calls nothing up and reaches it whole.
TEST_F(ClickedWindow, HearsNothingOfACallUpAndAllOfAClientClick)
{
    MenuWatch watch;
    MenuCapture shown = CaptureMenu([&] { RightClickCaption(false); });
    EXPECT_TRUE(shown.appeared);
    FlushEvents(kQuietMs);
    EXPECT_EQ(1, watch.AllMenus()) << "a menu opened beside Swivlet's";
    EXPECT_EQ(0, ncPresses);
    EXPECT_EQ(0, releases);
    EXPECT_EQ(0, mouseMenus);
    EXPECT_EQ(0, contextMenus);
    EXPECT_EQ(nullptr, GetCapture());

    RightClickAt(caption.x, caption.y + 80);
    WaitFor([] { return contextMenus > 0; }, 2000);
    EXPECT_EQ(1, clientPresses);
    EXPECT_EQ(1, releases);
    EXPECT_EQ(1, contextMenus);
}

// Shift held, or the call-up turned off: the press is the window's, which
// opens its own system menu; Swivlet's does not open.
TEST_F(ClickedWindow, GetsThePressAndShowsItsOwnMenuWithShiftOrTurnedOff)
{
    MenuCloser closer(GetCurrentProcessId());
    for (bool shift : {true, false}) {
        SCOPED_TRACE(shift ? "Shift held" : "turned off");
        if (!shift) {
            profile.Set("DisableTitleMenu", "1");
            SendMessageA(menu, WM_WININICHANGE, 0, 0);
        }
        ncPresses = mouseMenus = contextMenus = 0;
        MenuWatch watch;
        RightClickCaption(shift);
        WaitFor([] { return mouseMenus + contextMenus > 0; }, 2000);
        FlushEvents(kQuietMs);
        EXPECT_EQ(1, ncPresses);
        // Wine asks for the menu with WM_CONTEXTMENU, Windows may with either.
        EXPECT_LE(1, mouseMenus + contextMenus) << "the window was not asked for its menu";
        EXPECT_EQ(0, watch.SwivletMenus());
        EXPECT_EQ(1, watch.AllMenus());
        EXPECT_EQ(0, TakeCallUps());
    }
}

// Settings as the library finds them when it is loaded.
class MouseHookSettings : public ::testing::Test
{
  protected:
    void Load()
    {
        ASSERT_TRUE(lib.Load());
        menu = lib.MenuWindow();
        window = CreateTestWindow("Settings window", 100, 100, 300, 200);
    }
    void TearDown() override
    {
        lib.Free();
        DestroyTestWindows();
    }
    bool CallsUp(UINT msg, HWND hwnd, UINT hit)
    {
        MOUSEHOOKSTRUCT data = {};
        data.hwnd = hwnd;
        data.wHitTestCode = hit;
        lib.FMMouseHook(HC_ACTION, msg, (LPARAM)&data);
        MSG m;
        return PeekMessageA(&m, menu, WM_SHOWTASKMENU, WM_SHOWTASKMENU, PM_REMOVE) != 0;
    }
    bool CaptionCallsUp() { return CallsUp(WM_NCRBUTTONDOWN, window, HTCAPTION); }
    bool DesktopCallsUp() { return CallsUp(WM_RBUTTONDOWN, GetDesktopWindow(), HTCLIENT); }

    ProfileScope profile;
    SwvLib lib;
    HWND menu = NULL, window = NULL;
};

TEST_F(MouseHookSettings, AbsentSectionEnablesBothCallUps)
{
    Load();
    EXPECT_TRUE(CaptionCallsUp());
    EXPECT_TRUE(DesktopCallsUp());
}

TEST_F(MouseHookSettings, DisableTitleMenuStopsCaptionCallUpsOnly)
{
    profile.Set("DisableTitleMenu", "1");
    Load();
    EXPECT_FALSE(CaptionCallsUp());
    EXPECT_TRUE(DesktopCallsUp());
}

TEST_F(MouseHookSettings, DisableDesktopMenuStopsDesktopCallUpsOnly)
{
    profile.Set("DisableDesktopMenu", "1");
    Load();
    EXPECT_TRUE(CaptionCallsUp());
    EXPECT_FALSE(DesktopCallsUp());
}

TEST_F(MouseHookSettings, HandWrittenValuesCountAsReadNonZeroDisables)
{
    profile.Set("DisableTitleMenu", "-1");
    profile.Set("DisableDesktopMenu", "7");
    Load();
    EXPECT_FALSE(CaptionCallsUp());
    EXPECT_FALSE(DesktopCallsUp());
}

// The user's file first, key by key; WIN.INI for a key the file lacks.
TEST_F(MouseHookSettings, UserFileCountsOverWinIniKeyByKey)
{
    profile.Set("DisableTitleMenu", "1");
    profile.Set("DisableDesktopMenu", "1");
    profile.SetUser("DisableTitleMenu", "0");
    Load();
    EXPECT_TRUE(CaptionCallsUp());
    EXPECT_FALSE(DesktopCallsUp());
}

TEST_F(MouseHookSettings, ZeroWrittenByHandEnables)
{
    profile.Set("DisableTitleMenu", "0");
    profile.Set("DisableDesktopMenu", "0");
    Load();
    EXPECT_TRUE(CaptionCallsUp());
    EXPECT_TRUE(DesktopCallsUp());
}
