// A desktop with Swivlet's loader running on it, and helper programs whose
// windows the tests click like a user.
#pragma once

#include "testsupport.h"

#include <memory>
#include <string>
#include <vector>

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

// Closes every popup menu on the desktop, as Escape does.
inline void CloseAllMenus()
{
    for (int i = 0; i < 5; i++) {
        auto menus = swv::VisiblePopupMenus();
        if (menus.empty())
            return;
        for (HWND m : menus)
            PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
        swv::FlushEvents(150);
    }
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
        swv::FlushEvents(200);
        return windows;
    }

    DWORD PidOf(HWND hwnd)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        return pid;
    }

    // Moves the pointer over a window, so that its program receives mouse
    // input and the hook brings the library into it.
    void Hover(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        for (int i = 0; i < 3; i++) {
            swv::MoveCursorTo(r.left + 40 + 15 * i, r.top + 60 + 10 * i);
            swv::FlushEvents(60);
        }
    }

    // A user's right-click: press, and release a moment later whatever the
    // programs are doing.
    static void RightPressAndRelease(POINT pt)
    {
        swv::MoveCursorTo(pt.x, pt.y);
        Sleep(250);
        swv::MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTDOWN);
        Sleep(60);
        swv::MouseButton(pt.x, pt.y, MOUSEEVENTF_RIGHTUP);
    }

    // Right-clicks the caption of a window of this process: the menu shows on
    // this thread, where the test can read it.
    swv::MenuCapture RightClickOwnCaption(HWND hwnd, const std::vector<WORD> &keys = {VK_ESCAPE},
                                          const std::function<void()> &whileShown = nullptr)
    {
        POINT pt = swv::CaptionPoint(hwnd);
        return swv::CaptureMenu(
            [&] {
                RightPressAndRelease(pt);
                swv::FlushEvents(1500);
            },
            keys, whileShown);
    }

    // Calls the menu up on the caption of `target`, in the program that owns
    // it, and chooses the entry that `downs` presses of the Down key reach;
    // whileShown runs once the menu is on the screen. False when no menu came.
    bool ChooseFromMenuOn(HWND target, int downs, const std::function<void()> &whileShown = nullptr)
    {
        RightPressAndRelease(swv::CaptionPoint(target));
        if (!WaitForMenuOf(PidOf(target)))
            return false;
        swv::FlushEvents(250);
        if (whileShown)
            whileShown();
        for (int i = 0; i < downs; i++) {
            swv::PressKey(VK_DOWN);
            swv::FlushEvents(40);
        }
        swv::PressKey(VK_RETURN);
        return true;
    }

    // The visible popup menu of a process, waiting up to timeoutMs.
    HWND WaitForMenuOf(DWORD pid, DWORD timeoutMs = 5000)
    {
        HWND found = NULL;
        swv::WaitFor(
            [&] {
                auto menus = swv::VisiblePopupMenus(pid);
                found = menus.empty() ? NULL : menus.front();
                return found != NULL;
            },
            timeoutMs);
        return found;
    }

    swv::ProfileScope profile;
    swv::Process loader;
    std::vector<std::unique_ptr<swv::Process>> helpers;
};
