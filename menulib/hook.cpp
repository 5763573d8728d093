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

/* For a press that may call the menu up. Only a menu window hears that the
   settings have changed: a program that has none yet, its call-ups so far
   all turned off, reads them again. */
static void ReadyForCallUp(void)
{
    EnsureReady();
    if (!bSettingsRead || !MenuWindowAlive())
        ReadSettings();
}

typedef BOOL(WINAPI *ISWOW64PROCESSPROC)(HANDLE, PBOOL);

/* PROCESS_QUERY_LIMITED_INFORMATION, which protected programs grant too;
   from Windows Vista on. */
enum { SWV_QUERY_LIMITED = 0x1000 };

/* The width in bits of a program: 32 when it runs under WOW64 or the system
   is 32-bit, else 64. A program that cannot be asked counts as of the
   system's own width. */
static WPARAM ProgramWidth(DWORD dwPid)
{
    ISWOW64PROCESSPROC pfnIsWow64Process = (ISWOW64PROCESSPROC)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL bWow64 = FALSE;
    if (!pfnIsWow64Process ||
        (SWV_WIDTH == 32 && (!pfnIsWow64Process(GetCurrentProcess(), &bWow64) || !bWow64)))
        return 32;
    HANDLE hProcess = OpenProcess(SWV_QUERY_LIMITED, FALSE, dwPid);
    if (!hProcess)
        hProcess = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, dwPid);
    if (!hProcess)
        return 64;
    bWow64 = FALSE;
    BOOL bAsked = pfnIsWow64Process(hProcess, &bWow64);
    CloseHandle(hProcess);
    return bAsked && bWow64 ? 32 : 64;
}

/* On 64-bit Windows the system runs the hook on this thread for programs
   the library cannot enter: those of the other width, and those it may not
   enter at all (an app container, a protected program). The first are the
   partner loader's while one runs, whose copy in them answers the press;
   the rest are this loader's, which no partner could serve. bHandedPress
   tells the menu window that the press went to another program. */
static BOOL PartnerServes(HWND hWnd)
{
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    bHandedPress = dwPid != GetCurrentProcessId();
    if (!bHandedPress || ProgramWidth(dwPid) == SWV_WIDTH)
        return FALSE;
    HANDLE hMark = OpenEventA(SYNCHRONIZE, FALSE, SWV_PARTNER_MARK);
    if (!hMark)
        return FALSE;
    CloseHandle(hMark);
    return TRUE;
}

/* Without a menu window, a post would become a thread message of the program
   that received the press, which it might take for one of its own. Whether
   the call-up was posted. */
static BOOL CallUp(void)
{
    if (!MenuWindowAlive())
        hMenuWnd = CreateMenuWindow();
    return hMenuWnd && PostMessageA(hMenuWnd, WM_SHOWTASKMENU, 0, 0);
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

/* Shift as this thread has it with the press, or, as the keys went to the
   program in front and this thread may not have seen them, as the keyboard
   has it now. */
static BOOL ShiftHeld(void)
{
    return GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
}

/* A caption press calls the menu up unless turned off, Shift is held (the
   window's own menu) or the partner serves the program. */
static BOOL OnCaptionPress(const MOUSEHOOKSTRUCT *pmhs)
{
    if (pmhs->wHitTestCode != HTCAPTION)
        return FALSE;
    ReadyForCallUp();
    if (bDisableTitleMenu || ShiftHeld() || PartnerServes(pmhs->hwnd))
        return FALSE;
    hTargetWnd = RootWindow(pmhs->hwnd);
    return CallUp();
}

/* A right press on the desktop window calls the desktop menu up but is
   passed on; on empty space of Explorer's desktop it is Swivlet's, unless
   Shift is held. Whether the press is taken. */
static BOOL OnClientPress(const MOUSEHOOKSTRUCT *pmhs)
{
    BOOL bView = pmhs->hwnd != GetDesktopWindow();
    if (bView && !OnDesktopViewSpace(pmhs))
        return FALSE;
    ReadyForCallUp();
    if (bDisableDesktopMenu || (bView && ShiftHeld()) || PartnerServes(pmhs->hwnd))
        return FALSE;
    hTargetWnd = hDesktopWnd;
    return CallUp() && bView;
}

static DWORD dwTakingThread; /* took a press: its next right release is taken too */

/* A press taken goes with its release, the next right release of the
   window's thread whichever message carries it: passed on, it would open
   the window's own menu, or, after a caption press, find no capture loop
   waiting for it. Any right press ends the wait. Whether the message is
   taken; a message taken leaves the queue, whatever the code. */
static BOOL OnRightButton(WPARAM wParam, const MOUSEHOOKSTRUCT *pmhs)
{
    if (wParam == WM_NCRBUTTONUP || wParam == WM_RBUTTONUP) {
        if (!dwTakingThread || GetWindowThreadProcessId(pmhs->hwnd, NULL) != dwTakingThread)
            return FALSE;
        dwTakingThread = 0;
        return TRUE;
    }
    dwTakingThread = 0;
    if (!(wParam == WM_NCRBUTTONDOWN ? OnCaptionPress(pmhs) : OnClientPress(pmhs)))
        return FALSE;
    dwTakingThread = GetWindowThreadProcessId(pmhs->hwnd, NULL);
    return TRUE;
}

/* Runs for every mouse message of every thread on the desktop: anything but
   the right presses and releases costs two comparisons (WM_NCRBUTTONDOWN and
   WM_NCRBUTTONUP differ in the lowest bit only, as WM_RBUTTONDOWN and
   WM_RBUTTONUP do). The target is set before the call-up is posted, so that
   a menu window on another thread always sees the new target. A message
   taken is not passed to the window. */
LRESULT CALLBACK FMMouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0 && ((wParam | 1) == WM_NCRBUTTONUP || (wParam | 1) == WM_RBUTTONUP) &&
        OnRightButton(wParam, (const MOUSEHOOKSTRUCT *)lParam))
        return 1;
    return CallNextHookEx(hMouseHook, nCode, wParam, lParam);
}
