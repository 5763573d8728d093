// The loader started and ended again and again while another program keeps
// the library the hook brought into it.
#include "session.h"

using namespace swv;

namespace
{

UINT QueryMessage()
{
    static UINT msg = RegisterWindowMessageA("SwvTest.Query");
    return msg;
}

// Whether the helper program shows a Swivlet menu now.
bool SwivletMenuIn(HWND helperWindow)
{
    DWORD_PTR shown = 0;
    SendMessageTimeoutA(helperWindow, QueryMessage(), 3, 0, SMTO_ABORTIFHUNG, 2000, &shown);
    return shown == 1;
}

class LoaderRestarts : public DesktopSession
{
  protected:
    // Right-clicks the caption and watches for Swivlet's menu for a while.
    bool MenuAppearsOn(HWND hwnd, DWORD ms)
    {
        RightPressAndRelease(CaptionPoint(hwnd));
        bool shown = WaitFor([hwnd] { return SwivletMenuIn(hwnd); }, ms);
        CloseAllMenus();
        return shown;
    }
};

} // namespace

TEST_F(LoaderRestarts, MenuStopsAfterEachShutDownAndComesBackWithTheLoader)
{
    std::vector<HWND> windows = StartHelper({"Keeps the library@100,100,360,240"});
    ASSERT_EQ(1u, windows.size());
    Hover(windows[0]);
    ASSERT_TRUE(MenuAppearsOn(windows[0], 3000));
    ASSERT_EQ(0u, QuitLoader(loader));
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(MenuAppearsOn(windows[0], 800)) << "a menu with no loader running";
        Process again;
        ASSERT_TRUE(again.Start(LoaderCommand()));
        ASSERT_NE(nullptr, WaitForMenuWindow(again));
        EXPECT_TRUE(MenuAppearsOn(windows[0], 3000)) << "no menu with the loader running";
        EXPECT_EQ(0u, QuitLoader(again));
    }
    EXPECT_FALSE(MenuAppearsOn(windows[0], 800));
    EXPECT_TRUE(helpers.front()->Running());
}
