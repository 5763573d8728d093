#include "state.h"
#include "logic.h"
#include "../common/swivlet.h"

/* Whether this thread is already tracking a menu. */
static BOOL InMenuMode(void)
{
    GUITHREADINFO gti;
    gti.cbSize = sizeof gti;
    return GetGUIThreadInfo(GetCurrentThreadId(), &gti) && (gti.flags & GUI_INMENUMODE);
}

static HWND hRestoreWnd; /* in front before a menu that had to take the front */

static void RestoreFront(HWND hFront)
{
    if (hFront && IsWindow(hFront))
        SetForegroundWindow(hFront);
}

static void OnShowTaskMenu(HWND hWnd, WPARAM wParam)
{
    /* Call-ups already queued came with the same press: one menu answers all. */
    MSG msg;
    while (PeekMessageA(&msg, hWnd, WM_SHOWTASKMENU, WM_SHOWTASKMENU, PM_REMOVE)) {
    }

    /* The press that called the menu up may also have opened the window's
       system menu, whose loop is what delivers the call-up: close that menu
       and come back once its loop has ended, rather than show two menus.
       The second time round the menu shows whatever the state. */
    if (wParam == 0 && InMenuMode()) {
        EndMenu();
        PostMessageA(hWnd, WM_SHOWTASKMENU, 1, 0);
        return;
    }

    RefreshTaskList();
    POINT pt;
    GetCursorPos(&pt);
    HMENU hMenu = CreatePopupMenu();
    AppendMenuW(hMenu, hTargetWnd == hDesktopWnd ? MF_GRAYED : MF_ENABLED, IDM_PUSH, L"Push");
    AppendMenuW(hMenu, MF_ENABLED, IDM_ARRANGE, L"Arrange Icons");
    AppendMenuW(hMenu, MF_ENABLED, IDM_TILE, L"Tile");
    AppendMenuW(hMenu, MF_ENABLED, IDM_CASCADE, L"Cascade");
    AppendMenuW(hMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(hMenu, MF_ENABLED, IDM_RUN, L"Run");
    AppendMenuW(hMenu, MF_SEPARATOR, 0, NULL);
    for (int i = 0; i < nTasks; i++) {
        /* The title as the user sees it, in UTF-16; "&" in it is shown,
           not taken for a mnemonic. */
        WCHAR wszEntry[2 * (TASK_TITLE_CHARS - 1) + 1];
        EscapeMnemonicsW(TaskTitlesW[i], wszEntry, sizeof wszEntry / sizeof wszEntry[0]);
        AppendMenuW(hMenu, MF_ENABLED, IDM_TASK_FIRST + i, wszEntry);
    }

    /* A menu whose window's thread is not in front neither closes on a click
       elsewhere nor takes keys. Only then is the documented remedy applied:
       the window in front for the menu's time, and a message after it. A
       press that went to another program (handed to the loader) gives this
       program no right to the front: without it, no menu. */
    HWND hFront = GetForegroundWindow();
    BOOL bTakeFront = !hFront || GetWindowThreadProcessId(hFront, NULL) != GetCurrentThreadId();
    if (bTakeFront && !SetForegroundWindow(hWnd) && bHandedPress) {
        DestroyMenu(hMenu);
        return;
    }
    TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hWnd, NULL);
    DestroyMenu(hMenu);
    /* Lets the display catch up with the closed menu before its command
       moves windows: under Wine, the window exposed where the menu was is
       raised when that exposure is handled, which after a Push would undo
       it. A wait of no time does that; Windows returns at once. */
    MsgWaitForMultipleObjects(0, NULL, FALSE, 0, QS_ALLINPUT);
    if (bTakeFront) {
        PostMessageA(hWnd, WM_NULL, 0, 0);
        /* Closed without a command: the front goes back at once; a command
           that activates no window gives it back when it has run. */
        MSG msg;
        if (PeekMessageA(&msg, hWnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
            hRestoreWnd = hFront;
        else
            RestoreFront(hFront);
    }
}

/* A hung window is raised and restored without waiting for it. */
static void ActivateTask(int i)
{
    HWND hWnd = TaskHandles[i];
    ResetHungCheck();
    if (IsWindowHung(hWnd)) {
        SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
        if (IsIconic(hWnd))
            ShowWindowAsync(hWnd, SW_RESTORE);
        return;
    }
    BringWindowToTop(hWnd);
    if (IsIconic(hWnd))
        OpenIcon(hWnd);
}

static void OnCommand(WPARAM wParam)
{
    HWND hFront = hRestoreWnd;
    hRestoreWnd = NULL;
    switch (LOWORD(wParam)) {
    case IDM_ARRANGE:
        ArrangeIconicWindows(hDesktopWnd);
        RestoreFront(hFront);
        return;
    case IDM_PUSH:
        Push();
        return;
    case IDM_TILE:
        SwvTileWindows();
        return;
    case IDM_CASCADE:
        SwvCascadeWindows();
        RestoreFront(hFront);
        return;
    case IDM_RUN:
        Run();
        return;
    }
    /* Only entries of the list the menu was built from; the whole wParam
       counts, so high bits make it no task command. */
    UINT_PTR i = wParam - IDM_TASK_FIRST;
    if (i < MAX_TASKS && (int)i < nTasks)
        ActivateTask((int)i);
}

static void OnSysColorChange(void)
{
    BindCtl3d();
    if (hCtl3d && pfnCtl3dColorChange)
        pfnCtl3dColorChange();
}

LRESULT CALLBACK FMDeskWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SHOWTASKMENU:
        OnShowTaskMenu(hWnd, wParam);
        return 0;
    case WM_COMMAND:
        OnCommand(wParam);
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_WININICHANGE:
        /* Whatever section changed: the configuration names "Swivlet", but a
           reload costs three profile reads. */
        ReadSettings();
        return 0;
    }
    if (uMsg == uShutdownMsg && uShutdownMsg) {
        /* A confirmed "exit" in any program (wParam 0): the program that
           started the menu ends its message loop, and with it the menu
           everywhere. A loader of the other width that ended takes this one
           along; one of the same width does not. */
        if (bHost && wParam == 0)
            PostQuitMessage(0);
        else if (bHost && wParam != SWV_WIDTH)
            PostQuitMessage(SWV_QUIT_FOR_PARTNER);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
