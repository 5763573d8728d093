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
                PostMessageA(hMenuWnd, WM_SHOWTASKMENU, 0, 0);
            }
        } else if (wParam == WM_RBUTTONDOWN) {
            const MOUSEHOOKSTRUCT *pmhs = (const MOUSEHOOKSTRUCT *)lParam;
            if (pmhs->hwnd == hDesktopWnd && !bDisableDesktopMenu) {
                hTargetWnd = pmhs->hwnd;
                PostMessageA(hMenuWnd, WM_SHOWTASKMENU, 0, 0);
            }
        }
    }
    return CallNextHookEx(hMouseHook, nCode, wParam, lParam);
}
