// The library loaded into the test program, whose thread then owns the
// library's menu window: what that window does happens on this thread.
#pragma once

#include "testsupport.h"

#include <string>
#include <vector>

// The library's private call-up message.
#define WM_SHOWTASKMENU (WM_USER + 10)

class LibraryTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(lib.Load());
        menu = lib.MenuWindow();
        ASSERT_NE(nullptr, menu);
        swv::FlushEvents();
    }

    void TearDown() override
    {
        lib.Free();
        swv::DestroyTestWindows();
    }

    // Calls the hook as the system does for a mouse message aimed at hwnd.
    LRESULT Hook(int code, UINT msg, HWND hwnd, UINT hitTest)
    {
        MOUSEHOOKSTRUCT data = {};
        GetCursorPos(&data.pt);
        data.hwnd = hwnd;
        data.wHitTestCode = hitTest;
        return lib.FMMouseHook(code, msg, (LPARAM)&data);
    }

    LRESULT PressCaption(HWND hwnd) { return Hook(HC_ACTION, WM_NCRBUTTONDOWN, hwnd, HTCAPTION); }
    LRESULT PressDesktop() { return Hook(HC_ACTION, WM_RBUTTONDOWN, GetDesktopWindow(), HTCLIENT); }

    // Removes the call-ups waiting for the menu window; returns how many.
    int TakeCallUps()
    {
        MSG msg;
        int n = 0;
        while (PeekMessageA(&msg, menu, WM_SHOWTASKMENU, WM_SHOWTASKMENU, PM_REMOVE))
            n++;
        return n;
    }

    // Lets the menu window handle what is queued (a call-up shows the menu),
    // reads the menu and cancels it.
    swv::MenuCapture ShowQueuedMenu(const std::vector<WORD> &keys = {VK_ESCAPE},
                                    const std::function<void()> &whileShown = nullptr)
    {
        return swv::CaptureMenu([] { swv::FlushEvents(); }, keys, whileShown);
    }

    // Calls the menu up as the hook does, reads it and cancels it; the task
    // list is then the one that menu was built from.
    swv::MenuCapture ShowMenu()
    {
        PostMessageA(menu, WM_SHOWTASKMENU, 0, 0);
        return ShowQueuedMenu();
    }

    std::vector<HWND> TaskHandles()
    {
        std::vector<HWND> handles;
        for (int i = 0; i < lib.GetTaskWindowNumber(); i++)
            handles.push_back(lib.GetWindowHandle(i));
        return handles;
    }

    // The entries of `handles` that are among `mine`, in list order.
    static std::vector<HWND> Among(const std::vector<HWND> &handles, const std::vector<HWND> &mine)
    {
        std::vector<HWND> kept;
        for (HWND h : handles)
            for (HWND m : mine)
                if (h == m)
                    kept.push_back(h);
        return kept;
    }

    std::string Title(int i)
    {
        char buf[41];
        return lib.GetWindowTitle(buf, i) ? buf : "<none>";
    }

    static int UsableHeight()
    {
        return GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICONSPACING);
    }

    // Checks that the entries of `list` not minimised are where Tile puts
    // them, filled row by row in grid cells of the working area. A window
    // closed since the list was built still takes its cell.
    void ExpectTiled(const std::vector<HWND> &list)
    {
        // Columns and rows for n windows, written out from the rule: the
        // fewest columns c with n / c <= c, and rows enough for all.
        static const int kShape[31][2] = {
            {0, 0}, {1, 1}, {2, 1}, {2, 2}, {2, 2}, {2, 3}, {3, 2}, {3, 3}, {3, 3}, {3, 3}, {3, 4},
            {3, 4}, {4, 3}, {4, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 5}, {4, 5}, {4, 5}, {5, 4}, {5, 5},
            {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 6}, {5, 6}, {5, 6}, {5, 6}, {6, 5}};
        int n = 0;
        for (HWND h : list)
            n += IsIconic(h) ? 0 : 1;
        ASSERT_LE(n, 30);
        int columns = kShape[n][0], rows = kShape[n][1];
        int cx = GetSystemMetrics(SM_CXSCREEN) / (columns ? columns : 1);
        int cy = UsableHeight() / (rows ? rows : 1);
        int k = 0;
        for (HWND h : list) {
            if (IsIconic(h))
                continue;
            if (IsWindow(h)) {
                EXPECT_WINDOWPOS(h, (k % columns) * cx, (k / columns) * cy, cx, cy);
            }
            k++;
        }
    }

    void Command(WPARAM wParam)
    {
        SendMessageA(menu, WM_COMMAND, wParam, 0);
        swv::FlushEvents(50);
    }

    swv::ProfileScope profile; // before the library: it reads the profile at load
    swv::SwvLib lib;
    HWND menu = NULL;
};
