// Shows test windows for the end-to-end tests, in a process of its own.
//
//   swvtestwin.exe [OPTION] WINDOW...  WINDOW is Title@x,y,cx,cy[,min][,max]
//   swvtestwin.exe --rclick X Y  presses and releases the right button at X, Y
//
// Options:
//   --load-and-free  a second thread loads the library and pumps messages;
//                    the main thread then frees it
//   --thread WINDOW  that window lives on a second thread, which ends when
//                    the window is closed
//   --hold PATH      loads the library at PATH and keeps it loaded, as a
//                    program the hook has reached does
//
// Windows are created in order, so the last one ends on top. The program
// answers the registered message "SwvTest.Query": wParam 1 asks whether
// the library is loaded here, 2 how many "TaskWindow"s this process has, 3
// whether a Swivlet menu (a popup menu whose first entry is "Push") shows,
// 5 whether the library has registered its class "TaskWindow" here, 6 how
// many WM_SYSCOMMAND SC_MOUSEMENU and 7 how many WM_CONTEXTMENU its windows
// received, 8 how many right-button presses and releases reached them and 9
// whether its thread holds the mouse captured; 10 how many entries of the
// Swivlet menu showing here bear the title of the window lParam.
// Posted with wParam 4, it makes the window's thread stop pumping messages
// for lParam milliseconds.
#include <windows.h>

#include "swivlet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static UINT uQuery;
static int nOpen; /* windows of the main thread */
static DWORD dwMainThread;
static HANDLE hLoaded;
static int nMouseMenus, nContextMenus, nRightButtons;

static BOOL CALLBACK CountTaskWindows(HWND hwnd, LPARAM lParam)
{
    char cls[32];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && GetClassNameA(hwnd, cls, sizeof cls) &&
        strcmp(cls, "TaskWindow") == 0)
        ++*reinterpret_cast<int *>(lParam);
    return TRUE;
}

static BOOL CALLBACK FindSwivletMenu(HWND hwnd, LPARAM lParam)
{
    char cls[32];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
        !GetClassNameA(hwnd, cls, sizeof cls) || strcmp(cls, "#32768") != 0)
        return TRUE;
    char first[32] = "";
    HMENU menu = (HMENU)SendMessageA(hwnd, MN_GETHMENU, 0, 0);
    GetMenuStringA(menu, 0, first, sizeof first, MF_BYPOSITION);
    if (strcmp(first, "Push") == 0)
        *reinterpret_cast<HMENU *>(lParam) = menu;
    return TRUE;
}

static HMENU SwivletMenu(void)
{
    HMENU menu = NULL;
    EnumWindows(FindSwivletMenu, (LPARAM)&menu);
    return menu;
}

static int EntriesTitled(HMENU menu, HWND titled)
{
    char title[64] = "", entry[64];
    GetWindowTextA(titled, title, sizeof title);
    int n = 0;
    for (int i = 0; menu && title[0] && i < GetMenuItemCount(menu); i++)
        if (GetMenuStringA(menu, i, entry, sizeof entry, MF_BYPOSITION) &&
            strcmp(entry, title) == 0)
            n++;
    return n;
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == uQuery && uQuery) {
        if (wParam == 1)
            return GetModuleHandleA(SWV_LIBRARY) != NULL;
        if (wParam == 2) {
            int n = 0;
            EnumWindows(CountTaskWindows, (LPARAM)&n);
            return n;
        }
        if (wParam == 3)
            return SwivletMenu() != NULL;
        if (wParam == 4)
            Sleep((DWORD)lParam);
        if (wParam == 5) {
            WNDCLASSA wc;
            HMODULE lib = GetModuleHandleA(SWV_LIBRARY);
            return lib && GetClassInfoA(lib, "TaskWindow", &wc);
        }
        if (wParam == 6)
            return nMouseMenus;
        if (wParam == 7)
            return nContextMenus;
        if (wParam == 8)
            return nRightButtons;
        if (wParam == 9)
            return GetCapture() != NULL;
        if (wParam == 10)
            return EntriesTitled(SwivletMenu(), (HWND)lParam);
        return 0;
    }
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOUSEMENU)
        nMouseMenus++;
    if (msg == WM_CONTEXTMENU)
        nContextMenus++;
    if (msg == WM_NCRBUTTONDOWN || msg == WM_NCRBUTTONUP || msg == WM_RBUTTONDOWN ||
        msg == WM_RBUTTONUP)
        nRightButtons++;
    if (msg == WM_DESTROY && (GetCurrentThreadId() != dwMainThread || --nOpen == 0))
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void Mouse(int x, int y, DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

static int RightClick(int x, int y)
{
    SetCursorPos(x, y);
    Mouse(x, y, 0);
    Sleep(300);
    Mouse(x, y, MOUSEEVENTF_RIGHTDOWN);
    Sleep(300);
    Mouse(x, y, MOUSEEVENTF_RIGHTUP);
    return 0;
}

static HWND ShowLayout(const char *layout)
{
    char title[512];
    snprintf(title, sizeof title, "%s", layout);
    char *at = strrchr(title, '@');
    if (!at)
        return NULL;
    *at = '\0';
    int x = 0, y = 0, cx = 200, cy = 150;
    sscanf(at + 1, "%d,%d,%d,%d", &x, &y, &cx, &cy);
    int show = SW_SHOWNORMAL;
    if (strstr(at + 1, ",min"))
        show = SW_SHOWMINNOACTIVE;
    if (strstr(at + 1, ",max"))
        show = SW_SHOWMAXIMIZED;
    HWND hwnd = CreateWindowExA(0, "SwvTestProgram", title, WS_OVERLAPPEDWINDOW, x, y, cx, cy, NULL,
                                NULL, GetModuleHandleA(NULL), NULL);
    if (hwnd) {
        ShowWindow(hwnd, show);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

static void Pump(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static DWORD WINAPI LoadAndPump(void *)
{
    HMODULE lib = LoadLibraryA(SWV_LIBRARY);
    SetEvent(hLoaded);
    if (lib)
        Pump();
    return 0;
}

static DWORD WINAPI WindowThread(void *layout)
{
    if (ShowLayout(static_cast<const char *>(layout)))
        Pump();
    return 0;
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    if (__argc == 4 && strcmp(__argv[1], "--rclick") == 0)
        return RightClick(atoi(__argv[2]), atoi(__argv[3]));

    dwMainThread = GetCurrentThreadId();
    uQuery = RegisterWindowMessageA("SwvTest.Query");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "SwvTestProgram";
    RegisterClassA(&wc);

    for (int i = 1; i < __argc; i++) {
        if (strcmp(__argv[i], "--load-and-free") == 0) {
            hLoaded = CreateEventA(NULL, TRUE, FALSE, NULL);
            CloseHandle(CreateThread(NULL, 0, LoadAndPump, NULL, 0, NULL));
            WaitForSingleObject(hLoaded, 10000);
            FreeLibrary(GetModuleHandleA(SWV_LIBRARY));
        } else if (strcmp(__argv[i], "--hold") == 0 && i + 1 < __argc) {
            if (!LoadLibraryA(__argv[++i]))
                return 3;
        } else if (strcmp(__argv[i], "--thread") == 0 && i + 1 < __argc) {
            CloseHandle(CreateThread(NULL, 0, WindowThread, __argv[++i], 0, NULL));
        } else if (ShowLayout(__argv[i])) {
            nOpen++;
        } else {
            return 2;
        }
    }
    if (nOpen == 0)
        return 1;
    Pump();
    return 0;
}
