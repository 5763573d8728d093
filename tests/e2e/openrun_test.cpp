// Run chosen from the menu in another program, and "exit" typed into it.
#include "menuwatch.h"
#include "session.h"

#include <dlgs.h>

using namespace swv;

namespace
{

class RunFromMenu : public DesktopSession
{
  protected:
    void Type(const char *text)
    {
        for (const char *p = text; *p; p++) {
            PressKey((WORD)VkKeyScanA(*p));
            FlushEvents(20); // a typist's pace
        }
    }

    // Whether keys typed now go to a control of a dialog in another program.
    static bool TakesKeys(HWND dlg, int control)
    {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return GetForegroundWindow() == dlg &&
               GetGUIThreadInfo(GetWindowThreadProcessId(dlg, NULL), &gti) &&
               gti.hwndFocus == GetDlgItem(dlg, control);
    }

    // The display texts of a file-type box in another program.
    static std::vector<std::string> FileTypes(HWND dlg)
    {
        std::vector<std::string> items;
        HWND combo = GetDlgItem(dlg, cmb1);
        int n = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
        // Text of another program's list reaches this one intact in its
        // wide form.
        for (int i = 0; i < n; i++) {
            WCHAR wide[512] = L"";
            char buf[512] = "";
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 512)
                SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)wide);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, NULL, NULL);
            items.push_back(buf);
        }
        return items;
    }
};

} // namespace

TEST_F(RunFromMenu, ExitInAnotherProgramEndsTheLoaderAndNothingElse)
{
    std::vector<HWND> windows = StartHelper({"Run from here@80,80,360,240"});
    ASSERT_EQ(1u, windows.size());
    DWORD pid = PidOf(windows[0]);
    Hover(windows[0]);
    HWND dlg = OpenRunOn(windows[0]);
    ASSERT_NE(nullptr, dlg) << "no Open / Run dialog in the clicked program";
    std::vector<std::string> types;
    WaitFor([&] { return (types = FileTypes(dlg)).size() >= 3; }, 3000);
    ASSERT_GE(types.size(), 3u);
    EXPECT_EQ("*.exe;*.com   Program Files", types[0]);
    EXPECT_EQ("*.bat   Batch Files", types[1]);
    EXPECT_EQ("*.*    All Files", types.back());
    EXPECT_EQ(windows[0], GetWindow(dlg, GW_OWNER));
    SaveScreenshot("run-dialog");

    SendMessageA(GetDlgItem(dlg, edt1), WM_SETTEXT, 0, (LPARAM) "");
    ASSERT_TRUE(WaitFor([dlg] { return TakesKeys(dlg, edt1); })) << "the name box has no focus";
    Type("exit");
    PressKey(VK_RETURN);
    HWND box = WaitForDialog("Swivlet", pid);
    ASSERT_NE(nullptr, box) << "no question";
    EXPECT_EQ("Shut down Swivlet?", MessageBoxText(box));
    ClickDialogButton(box, IDOK);

    EXPECT_EQ(0u, loader.Wait(10000)) << "the loader did not end";
    EXPECT_EQ((DWORD)STILL_ACTIVE, helpers.front()->Wait(kQuietMs))
        << "the program that showed the menu ended too";
    EXPECT_TRUE(IsWindow(windows[0]));

    // With the loader gone, the desktop calls nothing up any more.
    MenuWatch watch;
    RightPressAndRelease({700, 420});
    FlushEvents(kQuietMs);
    EXPECT_EQ(0, watch.AllMenus());
}

TEST_F(RunFromMenu, CancelledDialogLeavesEverythingRunning)
{
    std::vector<HWND> windows = StartHelper({"Run and cancel@80,80,360,240"});
    ASSERT_EQ(1u, windows.size());
    DWORD pid = PidOf(windows[0]);
    Hover(windows[0]);
    HWND dlg = OpenRunOn(windows[0]);
    ASSERT_NE(nullptr, dlg);
    ASSERT_TRUE(WaitFor([dlg] { return TakesKeys(dlg, edt1); })) << "the name box has no focus";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([dlg] { return !IsWindow(dlg); }, 3000));
    EXPECT_EQ(nullptr, WaitForDialog("Swivlet", pid, kQuietMs)) << "a question came";
    EXPECT_TRUE(loader.Running());
}
