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

namespace
{
int ncPresses, clientPresses;
WNDPROC previousProc;

LRESULT CALLBACK CountPresses(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_NCRBUTTONDOWN)
        ncPresses++;
    if (m == WM_RBUTTONDOWN)
        clientPresses++;
    return CallWindowProcA(previousProc, h, m, w, l);
}
} // namespace

TEST_F(MouseHook, ClickedWindowStillReceivesItsPresses)
{
    ncPresses = clientPresses = 0;
    previousProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountPresses);
    POINT pt = CaptionPoint(window);
    // Press and release as a user does, whatever the window is doing between.
    MenuCapture shown = CaptureMenu([&] {
        PointAt(pt.x, pt.y);
        MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTDOWN);
        Sleep(60); // held as long as a user holds it
        MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTUP);
    });
    EXPECT_TRUE(shown.appeared);
    WaitFor([] { return ncPresses > 0; }, 2000);
    EXPECT_EQ(1, ncPresses);

    RightClickAt(pt.x, pt.y + 80);
    WaitFor([] { return clientPresses > 0; }, 2000);
    EXPECT_EQ(1, clientPresses);
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
