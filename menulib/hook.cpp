#include "state.h"

/* Longer chains than any real program builds; an owner loop, which nothing
   stops a program from making, ends here too. */
enum { MAX_CLIMB = 256 };

/* The unowned top-level window at the root of hWnd's chain of parents, then
   owners; hWnd itself when it has neither. A chain that does not end within
   MAX_CLIMB steps answers the top-level window that holds hWnd. */
static HWND RootWindow(HWND hWnd)
{
    HWND hRoot = hWnd;
    for (int i = 0; i < MAX_CLIMB; i++) {
        HWND hUp = (HWND)GetWindowLongPtrA(hRoot, GWLP_HWNDPARENT);
        if (!hUp)
            return hRoot;
        hRoot = hUp;
    }
    hRoot = GetAncestor(hWnd, GA_ROOT);
    return hRoot ? hRoot : hWnd;
}

void WINAPI SetWindow(HWND hWnd)
{
    hTargetWnd = RootWindow(hWnd);
}

/* The menu window goes with the thread that made it; in another program
   that may be a thread that has ended since (a splash screen's, say). The
   thread that took the press then makes a new one. */
static BOOL MenuWindowAlive(void)
{
    DWORD dwPid = 0;
    return hMenuWnd && GetWindowThreadProcessId(hMenuWnd, &dwPid) && dwPid == GetCurrentProcessId();
}

/* Without a menu window, a post would become a thread message of the program
   that received the press, which it might take for one of its own. */
static void CallUp(void)
{
    if (!MenuWindowAlive())
        hMenuWnd = CreateMenuWindow();
    if (hMenuWnd)
        PostMessageA(hMenuWnd, WM_SHOWTASKMENU, 0, 0);
}

/* Runs for every mouse message of every thread on the desktop: anything but
   the two call-up presses costs two comparisons. The target is set before
   the call-up is posted, so that a menu window on another thread always
   sees the new target. */
LRESULT CALLBACK FMMouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0) {
        if (wParam == WM_NCRBUTTONDOWN) {
            const MOUSEHOOKSTRUCT *pmhs = (const MOUSEHOOKSTRUCT *)lParam;
            if (pmhs->wHitTestCode == HTCAPTION && !bDisableTitleMenu) {
                hTargetWnd = RootWindow(pmhs->hwnd);
                CallUp();
            }
        } else if (wParam == WM_RBUTTONDOWN) {
            const MOUSEHOOKSTRUCT *pmhs = (const MOUSEHOOKSTRUCT *)lParam;
            if (pmhs->hwnd == hDesktopWnd && !bDisableDesktopMenu) {
                hTargetWnd = pmhs->hwnd;
                CallUp();
            }
        }
    }
    return CallNextHookEx(hMouseHook, nCode, wParam, lParam);
}
