#include "state.h"
#include "../common/swivlet.h"

#include <commctrl.h>

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

/* On 64-bit Windows the system runs the hook on this thread for programs of
   the other width, which the library cannot enter; the press is then for a
   window of another program. While a loader of that width runs, its own
   copy in that program answers the press, and this one stays out. */
static BOOL PartnerServes(HWND hWnd)
{
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid == GetCurrentProcessId())
        return FALSE;
    HANDLE hMark = OpenEventA(SYNCHRONIZE, FALSE, SWV_PARTNER_MARK);
    if (!hMark)
        return FALSE;
    CloseHandle(hMark);
    return TRUE;
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

static BOOL HasClass(HWND hWnd, const char *pszClass)
{
    char szClass[32];
    return hWnd && GetClassNameA(hWnd, szClass, sizeof szClass) &&
           lstrcmpiA(szClass, pszClass) == 0;
}

/* The desktop a user sees is Explorer's: a list view in "SHELLDLL_DefView"
   under "Progman" or "WorkerW", over the desktop window. A press on it that
   hits no icon is a press on the desktop; one on an icon is Explorer's. The
   hit test asks the list view itself, which only its own thread can do
   without waiting. */
static BOOL OnDesktopViewSpace(const MOUSEHOOKSTRUCT *pmhs)
{
    HWND hView = pmhs->hwnd;
    if (GetWindowThreadProcessId(hView, NULL) != GetCurrentThreadId() ||
        !HasClass(hView, "SysListView32"))
        return FALSE;
    HWND hDefView = GetParent(hView);
    if (!HasClass(hDefView, "SHELLDLL_DefView"))
        return FALSE;
    HWND hShell = GetParent(hDefView);
    if (!HasClass(hShell, "Progman") && !HasClass(hShell, "WorkerW"))
        return FALSE;
    LVHITTESTINFO hti;
    hti.pt = pmhs->pt;
    hti.flags = 0;
    hti.iItem = -1;
    hti.iSubItem = 0;
    ScreenToClient(hView, &hti.pt);
    return SendMessageA(hView, LVM_HITTEST, 0, (LPARAM)&hti) == -1;
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
            EnsureReady();
            if (pmhs->wHitTestCode == HTCAPTION && !bDisableTitleMenu &&
                !PartnerServes(pmhs->hwnd)) {
                hTargetWnd = RootWindow(pmhs->hwnd);
                CallUp();
            }
        } else if (wParam == WM_RBUTTONDOWN) {
            const MOUSEHOOKSTRUCT *pmhs = (const MOUSEHOOKSTRUCT *)lParam;
            EnsureReady();
            if (!bDisableDesktopMenu && (pmhs->hwnd == hDesktopWnd || OnDesktopViewSpace(pmhs)) &&
                !PartnerServes(pmhs->hwnd)) {
                hTargetWnd = hDesktopWnd;
                CallUp();
            }
        }
    }
    return CallNextHookEx(hMouseHook, nCode, wParam, lParam);
}
