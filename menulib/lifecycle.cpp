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
int nPushTo;
int bDisableTitleMenu;
int bDisableDesktopMenu;
int nTasks;
HWND TaskHandles[MAX_TASKS];
char TaskTitles[MAX_TASKS][TASK_TITLE_CHARS];
HMODULE hCtl3d;
CTL3DCOLORCHANGEPROC pfnCtl3dColorChange;

BOOL bHost;
UINT uShutdownMsg;

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

BOOL WINAPI DllEntryPoint(HINSTANCE hInst, DWORD dwReason, LPVOID lpReserved)
{
    (void)lpReserved;
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        hLibInstance = hInst;
        if (++nAttachCount > 1)
            return TRUE;
        return InitLibrary() == 0;
    case DLL_PROCESS_DETACH:
        if (--nAttachCount == 0)
            ShutdownLibrary();
        return TRUE;
    }
    return TRUE;
}

int InitLibrary(void)
{
    /* Every field given: unoptimised, clang fills an empty-braced record
       with a memset call, and the library has no C runtime to provide it. */
    WNDCLASSA wc = {
        CS_VREDRAW | CS_HREDRAW,
        FMDeskWndProc,
        0, /* cbClsExtra */
        0, /* cbWndExtra */
        hLibInstance,
        LoadIconA(NULL, IDI_APPLICATION),
        NULL, /* hCursor */
        NULL, /* hbrBackground */
        NULL, /* lpszMenuName */
        szClassName,
    };
    RegisterClassA(&wc);

    /* Never shown: it only receives the call-ups and owns the menu. */
    hMenuWnd = CreateWindowExA(0, szClassName, "filedll", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, hLibInstance, NULL);

    bHost = IsHostProcess();
    if (bHost)
        hMouseHook = SetWindowsHookExA(WH_MOUSE, FMMouseHook, hLibInstance, 0);
    uShutdownMsg = RegisterWindowMessageA(SWV_SHUTDOWN_MSG);

    szInitialDir[0] = '\0';
    PrepareOpenFileRecord();

    hDesktopWnd = GetDesktopWindow();
    ReadSettings();

    hCtl3d = LoadOptionalSystemLibrary("CTL3D32.DLL");
    if (hCtl3d)
        pfnCtl3dColorChange =
            (CTL3DCOLORCHANGEPROC)(void *)GetProcAddress(hCtl3d, "Ctl3dColorChange");
    return 0;
}

void ShutdownLibrary(void)
{
    if (hMouseHook) {
        UnhookWindowsHookEx(hMouseHook);
        hMouseHook = NULL;
    }
    if (hMenuWnd) {
        DestroyWindow(hMenuWnd);
        hMenuWnd = NULL;
    }
    UnregisterClassA(szClassName, hLibInstance);
    if (hCtl3d) {
        FreeLibrary(hCtl3d);
        hCtl3d = NULL;
    }
}
