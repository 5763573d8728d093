#include "state.h"

/* The unowned top-level window at the root of hWnd's chain of parents, then
   owners; hWnd itself when it has neither. */
static HWND RootWindow(HWND hWnd)
{
    HWND hUp;
    while ((hUp = (HWND)GetWindowLongPtrA(hWnd, GWLP_HWNDPARENT)) != NULL)
        hWnd = hUp;
    return hWnd;
}

void WINAPI SetWindow(HWND hWnd)
{
    hTargetWnd = RootWindow(hWnd);
}

/* Without a menu window, a post would become a thread message of the program
   that received the press, which it might take for one of its own. */
static void CallUp(void)
{
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
