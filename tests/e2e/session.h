// A desktop with Swivlet's loader running on it, and helper programs whose
// windows the tests click like a user.
#pragma once

#include "testsupport.h"

#include <dlgs.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// How many presses of the Down key reach each entry of the menu.
enum { DOWNS_PUSH = 1, DOWNS_TILE = 3, DOWNS_CASCADE = 4, DOWNS_RUN = 5 };

inline std::string LoaderCommand(const std::string &tail = "")
{
    return "\"" + swv::BinPath("swv32load.exe") + "\"" + tail;
}

// The loader's hidden menu window, once its library is up.
inline HWND WaitForMenuWindow(const swv::Process &loader)
{
    HWND found = NULL;
    swv::WaitFor(
        [&] {
            auto windows = swv::MenuWindowsOfProcess(loader.Pid());
            found = windows.empty() ? NULL : windows.front();
            return found != NULL;
        },
        10000);
    return found;
}

// Ends a running loader the way a quit message does; returns its exit code.
inline DWORD QuitLoader(swv::Process &loader)
{
    PostThreadMessageA(loader.MainThread(), WM_QUIT, 0, 0);
    return loader.Wait(10000);
}

// Closes every popup menu on the desktop, as Escape does, and any that the
// closing brings up; returns once none is up.
inline void CloseAllMenus()
{
    swv::WaitFor(
        [] {
            auto menus = swv::VisiblePopupMenus();
            for (HWND m : menus)
                PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
            return menus.empty();
        },
        3000);
}

class DesktopSession : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CloseAllMenus();
        ASSERT_TRUE(loader.Start(LoaderCommand()));
        ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    }

    void TearDown() override
    {
        CloseAllMenus();
        helpers.clear();
        if (loader.Running())
            QuitLoader(loader);
        swv::DestroyTestWindows();
    }

    // Starts a helper program showing windows "Title@x,y,cx,cy[,min|,max]";
    // returns their handles in the order given, or an empty list.
    std::vector<HWND> StartHelper(const std::vector<std::string> &layout)
    {
        helpers.push_back(std::make_unique<swv::Process>());
        swv::Process &p = *helpers.back();
        std::string cmd = "\"" + swv::BinPath("swvtestwin.exe") + "\"";
        for (const auto &w : layout)
            cmd += " \"" + w + "\"";
        std::vector<HWND> windows;
        if (!p.Start(cmd))
            return windows;
        for (const auto &s : layout) {
            HWND h = swv::WaitForWindow(s.substr(0, s.rfind('@')).c_str(), p.Pid());
            if (!h)
                return {};
            windows.push_back(h);
        }
        // Shown and waiting for input: no activation of its own comes later.
        EXPECT_TRUE(swv::WaitFor([&] { return p.Idle(); })) << "the helper program is busy";
        return windows;
    }

    DWORD PidOf(HWND hwnd)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        return pid;
    }

    // Moves the pointer over a window, so that its program receives mouse
    // input and the hook brings the library into it: whether it did within
    // timeoutMs.
    bool BringLibraryInto(HWND hwnd, DWORD timeoutMs)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        int i = 0;
        return swv::WaitFor(
            [&] {
                swv::MoveCursorTo(r.left + 40 + 15 * (i % 3), r.top + 60 + 10 * (i % 3));
                i++;
                return swv::LibraryLoadedIn(hwnd);
            },
            timeoutMs);
    }

    void Hover(HWND hwnd)
    {
        EXPECT_TRUE(BringLibraryInto(hwnd, 5000))
            << "the hook brought no library into \"" << swv::WindowText(hwnd) << "\"";
    }

    // A user's right-click: press, and release a moment later whatever the
    // programs are doing.
    static void RightPressAndRelease(POINT pt)
    {
        swv::PointAt(pt.x, pt.y);
        swv::MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTDOWN);
        Sleep(60); // held as long as a user holds it
        swv::MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTUP);
    }

    // Right-clicks the caption of a window of this process: the menu shows on
    // this thread, where the test can read it.
    swv::MenuCapture RightClickOwnCaption(HWND hwnd, const std::vector<WORD> &keys = {VK_ESCAPE},
                                          const std::function<void()> &whileShown = nullptr)
    {
        POINT pt = swv::CaptionPoint(hwnd);
        return swv::CaptureMenu([&] { RightPressAndRelease(pt); }, keys, whileShown);
    }

    // Calls the menu up on the caption of `target`, in the program that owns
    // it, and chooses the entry that `downs` presses of the Down key reach;
    // whileShown runs once the menu is on the screen. False when no menu came.
    bool ChooseFromMenuOn(HWND target, int downs, const std::function<void()> &whileShown = nullptr)
    {
        RightPressAndRelease(swv::CaptionPoint(target));
        HWND popup = WaitForMenuOf(PidOf(target));
        if (!popup || !swv::WaitFor([popup] { return MenuTakesInput(popup); }))
            return false;
        if (whileShown)
            whileShown();
        for (int i = 0; i < downs; i++) {
            swv::PressKey(VK_DOWN);
            swv::FlushEvents(40); // a typist's pace
        }
        swv::PressKey(VK_RETURN);
        return true;
    }

    // Chooses Run from the menu on `target`'s caption: the Open / Run dialog
    // it shows in `target`'s program, or NULL.
    HWND OpenRunOn(HWND target)
    {
        if (!ChooseFromMenuOn(target, DOWNS_RUN))
            return NULL;
        return swv::WaitForDialog("Open / Run", PidOf(target));
    }

    // Types "exit" into Run from the menu on `served`'s caption and confirms
    // the question whether Swivlet should end.
    ::testing::AssertionResult ExitThroughRunOn(HWND served)
    {
        HWND dlg = OpenRunOn(served);
        if (!dlg)
            return ::testing::AssertionFailure() << "no Open / Run dialog";
        SendMessageA(GetDlgItem(dlg, edt1), WM_SETTEXT, 0, (LPARAM) "exit");
        swv::ClickDialogButton(dlg, IDOK);
        HWND box = swv::WaitForDialog("Swivlet", PidOf(served));
        if (!box)
            return ::testing::AssertionFailure() << "no question whether to end";
        swv::ClickDialogButton(box, IDOK);
        return ::testing::AssertionSuccess();
    }

    // Swivlet's menu (owned by a "TaskWindow") on the screen in a process,
    // waiting up to timeoutMs; not the window's system menu, which the same
    // press may show for a moment first.
    HWND WaitForMenuOf(DWORD pid, DWORD timeoutMs = 5000)
    {
        HWND found = NULL;
        swv::WaitFor(
            [&] {
                for (HWND m : swv::VisiblePopupMenus(pid)) {
                    char cls[32] = "";
                    if (GetClassNameA(GetWindow(m, GW_OWNER), cls, sizeof cls) &&
                        strcmp(cls, "TaskWindow") == 0) {
                        found = m;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    // Whether a menu on the screen gets the user's keys and clicks: its
    // thread tracks it and is in front.
    static bool MenuTakesInput(HWND popup)
    {
        DWORD thread = GetWindowThreadProcessId(popup, NULL);
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return IsWindowVisible(popup) && GetGUIThreadInfo(thread, &gti) &&
               (gti.flags & GUI_INMENUMODE) &&
               GetWindowThreadProcessId(GetForegroundWindow(), NULL) == thread;
    }

    swv::ProfileScope profile;
    swv::Process loader;
    std::vector<std::unique_ptr<swv::Process>> helpers;
};
