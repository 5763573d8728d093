/* The menu library's state record and its internal operations. Each process
   the library is mapped into has its own zero-initialised copy. */
#pragma once

#include <windows.h>
#include <commdlg.h>

enum {
    MAX_TASKS = 30,        /* entries of the task list, and task commands of the menu */
    TASK_TITLE_CHARS = 41, /* a task caption: 40 units (bytes or UTF-16) and the terminator */
    FILTER_CHARS = 1000,   /* the file-type list of the Open / Run dialog */
    PATH_CHARS = MAX_PATH, /* szFile, szFileTitle, szInitialDir */
    ARGS_CHARS = MAX_PATH, /* every argument the name field can hold */
};

/* Private call-up message from the mouse hook to the menu window. */
#define WM_SHOWTASKMENU (WM_USER + 10)

/* Menu commands. */
enum {
    IDM_ARRANGE = 1,
    IDM_PUSH = 2,
    IDM_TILE = 3,
    IDM_CASCADE = 4,
    IDM_RUN = 5,
    IDM_TASK_FIRST = 100, /* task entry i is IDM_TASK_FIRST + i */
};

typedef BOOL(WINAPI *CTL3DCOLORCHANGEPROC)(void);
typedef BOOL(WINAPI *GETOPENFILENAMEPROC)(LPOPENFILENAMEA);
typedef HINSTANCE(WINAPI *SHELLEXECUTEPROC)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
typedef LONG(WINAPI *REGOPENKEYPROC)(HKEY, LPCSTR, PHKEY);
typedef LONG(WINAPI *REGENUMKEYPROC)(HKEY, DWORD, LPSTR, DWORD);
typedef LONG(WINAPI *REGQUERYVALUEPROC)(HKEY, LPCSTR, LPSTR, PLONG);
typedef LONG(WINAPI *REGCLOSEKEYPROC)(HKEY);

/* Lifecycle */
extern HINSTANCE hLibInstance; /* this module: instance of the class, window, hook and dialog */
extern LONG nAttachCount;      /* process attaches minus detaches */
extern HWND hMenuWnd;          /* hidden window that builds, shows and acts on the menu */
extern HHOOK hMouseHook;       /* this process's WH_MOUSE hook */
extern HWND hDesktopWnd;
extern BOOL bHost;        /* loaded by the program that starts the menu */
extern UINT uShutdownMsg; /* registered "exit" broadcast */

/* Target of the last call-up, or of SetWindow */
extern HWND hTargetWnd;
extern BOOL bHandedPress; /* the last call-up's press went to another program */

/* Settings, as read from the profile */
extern int nPushTo;             /* bottom-most task entries Push leaves alone */
extern int bDisableTitleMenu;   /* non-zero: caption presses call nothing up */
extern int bDisableDesktopMenu; /* non-zero: desktop presses call nothing up */
extern BOOL bSettingsRead;      /* the three above hold what the profile says */

/* Task list: visible, unowned, titled top-level windows, topmost first */
extern int nTasks;
extern HWND TaskHandles[MAX_TASKS];
extern char TaskTitles[MAX_TASKS][TASK_TITLE_CHARS];   /* ANSI, for the exports */
extern WCHAR TaskTitlesW[MAX_TASKS][TASK_TITLE_CHARS]; /* UTF-16, as the menu shows them */

/* Optional 3-D controls library */
extern HMODULE hCtl3d;
extern CTL3DCOLORCHANGEPROC pfnCtl3dColorChange;

/* Open / Run dialog */
extern OPENFILENAMEA OpenFileRecord;
extern char szFilter[FILTER_CHARS];
extern char szFile[PATH_CHARS];
extern char szFileTitle[PATH_CHARS];
extern char szInitialDir[PATH_CHARS];
extern char szArgs[ARGS_CHARS];

/* The libraries of Run, bound on its first use (runlibs.cpp) */
extern GETOPENFILENAMEPROC pfnGetOpenFileNameA;
extern SHELLEXECUTEPROC pfnShellExecuteA;
extern REGOPENKEYPROC pfnRegOpenKeyA;
extern REGENUMKEYPROC pfnRegEnumKeyA;
extern REGQUERYVALUEPROC pfnRegQueryValueA;
extern REGCLOSEKEYPROC pfnRegCloseKey;
BOOL BindRunLibraries(void); /* the dialog and the shell could be had */
BOOL RegistryBound(void);    /* the file types can be read */

/* Internal operations */
int InitLibrary(void);
void ShutdownLibrary(void);
HWND CreateMenuWindow(void);
void ReadSettings(void);
void EnsureSettings(void); /* read once, at the latest before they are needed */
void EnsureReady(void);    /* the state a call-up needs, made on the first one */
void BindCtl3d(void);      /* once per process */
void RefreshTaskList(void);
void PrepareOpenFileRecord(void);
void BuildFileFilter(void);

/* The desktop window manager's view of a window (dwm.cpp). */
struct Edges;
BOOL IsCloaked(HWND hWnd);      /* hidden by the system though visible */
Edges HiddenBorders(HWND hWnd); /* its rectangle outside the visible frame */

/* Hung windows: a command waits on a window of another thread only after
   that thread has answered. A thread that did not answer within
   HUNG_WAIT_MS is taken as hung until the next ResetHungCheck, so a command
   waits that long at most once for each hung thread. */
enum { HUNG_WAIT_MS = 400 };
void ResetHungCheck(void);
BOOL IsWindowHung(HWND hWnd);

/* Exports; TileWindows and CascadeWindows are exported under those names
   through the .def file, since the system headers declare functions of the
   same names with other parameters. */
extern "C" {
BOOL WINAPI DllEntryPoint(HINSTANCE hInst, DWORD dwReason, LPVOID lpReserved);
LRESULT CALLBACK FMDeskWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FMMouseHook(int nCode, WPARAM wParam, LPARAM lParam);
BOOL CALLBACK EnumWndProc(HWND hWnd, LPARAM lParam);
UINT_PTR CALLBACK OpenHook(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
void WINAPI SwvTileWindows(void);
void WINAPI SwvCascadeWindows(void);
void WINAPI Push(void);
void WINAPI Run(void);
void WINAPI SetWindow(HWND hWnd);
int WINAPI GetTaskWindowNumber(void);
BOOL WINAPI GetWindowTitle(LPSTR lpszTitle, int nIndex);
HWND WINAPI GetWindowHandle(int nIndex);
}
