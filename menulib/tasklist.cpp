#include "state.h"
#include "logic.h"

enum { TITLE_READ_CHARS = 128 }; /* a title is read up to 127 units */

/* The shell's desktop: the window it registered and the thread that made
   it, which also makes the "WorkerW" windows it keeps with it. They are no
   windows a user switches to, and are never to be moved or raised. */
static HWND hShellWnd;
static DWORD dwShellThread;
static BOOL bShellFound; /* the two above hold for the refresh in progress */

static void FindShell(void)
{
    hShellWnd = GetShellWindow();
    dwShellThread = hShellWnd ? GetWindowThreadProcessId(hShellWnd, NULL) : 0;
}

static BOOL IsShellDesktop(HWND hWnd)
{
    if (!bShellFound)
        FindShell();
    if (!hShellWnd)
        return FALSE;
    if (hWnd == hShellWnd)
        return TRUE;
    char szClass[16];
    return GetWindowThreadProcessId(hWnd, NULL) == dwShellThread &&
           GetClassNameA(hWnd, szClass, sizeof szClass) && lstrcmpiA(szClass, "WorkerW") == 0;
}

void RefreshTaskList(void)
{
    ResetHungCheck();
    nTasks = 0;
    FindShell();
    bShellFound = TRUE;
    EnumWindows(EnumWndProc, 0);
    bShellFound = FALSE;
}

/* A title read through WM_GETTEXT waits for the window's thread; that is
   the case only for other threads of this program. A hung one is listed by
   the title the system holds for it. */
static void ReadTitle(HWND hWnd, WCHAR *pszTitle, int cchTitle)
{
    pszTitle[0] = 0;
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid != GetCurrentProcessId() || !IsWindowHung(hWnd))
        GetWindowTextW(hWnd, pszTitle, cchTitle);
    else
        InternalGetWindowText(hWnd, pszTitle, cchTitle);
    pszTitle[cchTitle - 1] = 0;
}

/* The exports keep the ANSI caption: the same title in the ANSI code page,
   cut by the same rules in bytes and on a character boundary. */
static void MakeAnsiCaption(const WCHAR *pszTitle, char *pszCaption, int cchCaption)
{
    /* Room for three bytes a unit, the most any ANSI code page takes. */
    char szTitle[3 * TITLE_READ_CHARS];
    if (!WideCharToMultiByte(CP_ACP, 0, pszTitle, -1, szTitle, sizeof szTitle, NULL, NULL))
        szTitle[0] = '\0';
    CPINFO cpi;
    if (!GetCPInfo(CP_ACP, &cpi))
        cpi.LeadByte[0] = 0;
    MakeTaskCaption(szTitle, pszCaption, cchCaption, cpi.LeadByte);
}

/* Windows come topmost first; once the list is full the rest lie behind the
   30 kept, so the enumeration stops there. */
BOOL CALLBACK EnumWndProc(HWND hWnd, LPARAM lParam)
{
    (void)lParam;
    if (nTasks >= MAX_TASKS)
        return FALSE;
    /* A top-level window is visible by its own style, the desktop being
       so: IsWindowVisible walks the parents too, under Wine a round trip to
       its server each for another program's window. */
    if (!(GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_VISIBLE) ||
        GetWindowLongPtrA(hWnd, GWLP_HWNDPARENT) || IsShellDesktop(hWnd) || IsCloaked(hWnd))
        return TRUE;
    /* Listed by the title as the user sees it, in UTF-16. */
    WCHAR wszTitle[TITLE_READ_CHARS];
    ReadTitle(hWnd, wszTitle, TITLE_READ_CHARS);
    if (!MakeTaskCaptionW(wszTitle, TaskTitlesW[nTasks], TASK_TITLE_CHARS))
        return TRUE;
    MakeAnsiCaption(wszTitle, TaskTitles[nTasks], TASK_TITLE_CHARS);
    TaskHandles[nTasks++] = hWnd;
    return nTasks < MAX_TASKS;
}

int WINAPI GetTaskWindowNumber(void)
{
    return nTasks;
}

BOOL WINAPI GetWindowTitle(LPSTR lpszTitle, int nIndex)
{
    if (nIndex < 0 || nIndex >= nTasks)
        return FALSE;
    lstrcpynA(lpszTitle, TaskTitles[nIndex], TASK_TITLE_CHARS);
    return TRUE;
}

HWND WINAPI GetWindowHandle(int nIndex)
{
    if (nIndex < 0 || nIndex >= nTasks)
        return NULL;
    return TaskHandles[nIndex];
}
