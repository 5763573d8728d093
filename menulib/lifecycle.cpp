#include "state.h"
#include "../common/sysdll.h"
#include "../common/swivlet.h"

/* The state record; see state.h. */
HINSTANCE hLibInstance;
LONG nAttachCount;
HWND hMenuWnd;
HHOOK hMouseHook;
HWND hDesktopWnd;
HWND hTargetWnd;
BOOL bHandedPress;
int nPushTo;
int bDisableTitleMenu;
int bDisableDesktopMenu;
int nTasks;
HWND TaskHandles[MAX_TASKS];
char TaskTitles[MAX_TASKS][TASK_TITLE_CHARS];
WCHAR TaskTitlesW[MAX_TASKS][TASK_TITLE_CHARS];
HMODULE hCtl3d;
CTL3DCOLORCHANGEPROC pfnCtl3dColorChange;

BOOL bHost;
UINT uShutdownMsg;
static HANDLE hHostMark; /* names this width's running loader to a partner */

static const char szClassName[] = "TaskWindow";

/* One hook serves every program: the system maps the library into each
   program it calls the hook for, and that program's own copy handles the
   call-up there. Only the copy loaded by the program that starts the menu
   installs it. Were every mapped copy to add a hook of its own, one press
   would call the menu up once per copy, and the hooks would keep each other
   alive after that program has ended. */
static BOOL IsHostProcess(void)
{
    return GetProcAddress(GetModuleHandleA(NULL), SWV_HOST_EXPORT) != NULL;
}

/* A copy the hook brought into another program stays until that program
   ends. Its menu window belongs to whichever thread first took mouse input
   there, and a detach on any other thread could not destroy it: the window
   would outlive the code of its procedure. */
static void PinGuestCopy(void)
{
    HMODULE hSelf;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       (LPCSTR)(void *)DllEntryPoint, &hSelf);
}

BOOL WINAPI DllEntryPoint(HINSTANCE hInst, DWORD dwReason, LPVOID lpReserved)
{
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        hLibInstance = hInst;
        if (++nAttachCount > 1)
            return TRUE;
        bHost = IsHostProcess();
        if (bHost)
            return InitLibrary() == 0;
        /* Another program's copy does nothing until that program's first
           call-up (EnsureReady, CallUp): every program that merely gets a
           mouse move pays nothing, and no window is made inside the
           system's loader lock. */
        PinGuestCopy();
        return TRUE;
    case DLL_PROCESS_DETACH:
        /* At process exit the system takes everything back itself, and the
           threads that own the window may already be gone. */
        if (lpReserved)
            return TRUE;
        if (--nAttachCount == 0)
            ShutdownLibrary();
        return TRUE;
    }
    return TRUE;
}

static BOOL bClassRegistered;

static void RegisterMenuClass(void)
{
    if (bClassRegistered)
        return;
    /* Every field given: unoptimised, clang fills an empty-braced record
       with a memset call, and the library has no C runtime to provide it. */
    WNDCLASSA wc = {
        CS_VREDRAW | CS_HREDRAW,
        FMDeskWndProc,
        0, /* cbClsExtra */
        0, /* cbWndExtra */
        hLibInstance,
        /* The window is never shown; only the loader's class carries an
           icon: loading it costs every other program tens of KiB. */
        bHost ? LoadIconA(NULL, IDI_APPLICATION) : NULL,
        NULL, /* hCursor */
        NULL, /* hbrBackground */
        NULL, /* lpszMenuName */
        szClassName,
    };
    bClassRegistered = RegisterClassA(&wc) != 0;
}

HWND CreateMenuWindow(void)
{
    RegisterMenuClass();
    /* Never shown: it only receives the call-ups and owns the menu. */
    return CreateWindowExA(0, szClassName, "filedll", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, hLibInstance, NULL);
}

static BOOL bReady; /* EnsureReady has run since the last shutdown */

void EnsureReady(void)
{
    if (bReady)
        return;
    bReady = TRUE;
    uShutdownMsg = RegisterWindowMessageA(SWV_SHUTDOWN_MSG);
    szInitialDir[0] = '\0';
    PrepareOpenFileRecord();
    hDesktopWnd = GetDesktopWindow();
}

int InitLibrary(void)
{
    hMenuWnd = CreateMenuWindow();
    hMouseHook = SetWindowsHookExA(WH_MOUSE, FMMouseHook, hLibInstance, 0);
    hHostMark = CreateEventA(NULL, TRUE, FALSE, SWV_HOST_MARK);
    EnsureReady();
    ReadSettings();
    BindCtl3d();
    return 0;
}

static BOOL bCtl3dTried; /* BindCtl3d has run since the last shutdown */

void BindCtl3d(void)
{
    if (bCtl3dTried)
        return;
    bCtl3dTried = TRUE;
    hCtl3d = LoadOptionalSystemLibrary("CTL3D32.DLL");
    if (hCtl3d)
        pfnCtl3dColorChange =
            (CTL3DCOLORCHANGEPROC)(void *)GetProcAddress(hCtl3d, "Ctl3dColorChange");
}

void ShutdownLibrary(void)
{
    if (hMouseHook) {
        UnhookWindowsHookEx(hMouseHook);
        hMouseHook = NULL;
    }
    if (hHostMark) {
        CloseHandle(hHostMark);
        hHostMark = NULL;
    }
    if (hMenuWnd) {
        DestroyWindow(hMenuWnd);
        hMenuWnd = NULL;
    }
    UnregisterClassA(szClassName, hLibInstance);
    bClassRegistered = FALSE;
    if (hCtl3d) {
        FreeLibrary(hCtl3d);
        hCtl3d = NULL;
    }
    bCtl3dTried = FALSE;
    bReady = FALSE;
    bSettingsRead = FALSE;
}
