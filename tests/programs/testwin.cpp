// Shows test windows for the end-to-end tests, in a process of its own.
//
//   swvtestwin.exe WINDOW...    WINDOW is Title@x,y,cx,cy[,min][,max]
//   swvtestwin.exe --rclick X Y  presses and releases the right button at X, Y
//
// Windows are created in order, so the last one ends on top. The program
// answers the registered message "SwvTest.Query": wParam 1 asks whether
// swv32.dll is loaded here, 2 how many "TaskWindow"s this process has, 3
// whether a Swivlet menu (a popup menu whose first entry is "Push") shows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static UINT uQuery;
static int nOpen;

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
    GetMenuStringA((HMENU)SendMessageA(hwnd, MN_GETHMENU, 0, 0), 0, first, sizeof first,
                   MF_BYPOSITION);
    if (strcmp(first, "Push") == 0)
        *reinterpret_cast<int *>(lParam) = 1;
    return TRUE;
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == uQuery && uQuery) {
        if (wParam == 1)
            return GetModuleHandleA("swv32.dll") != NULL;
        if (wParam == 2) {
            int n = 0;
            EnumWindows(CountTaskWindows, (LPARAM)&n);
            return n;
        }
        if (wParam == 3) {
            int shown = 0;
            EnumWindows(FindSwivletMenu, (LPARAM)&shown);
            return shown;
        }
        return 0;
    }
    if (msg == WM_DESTROY && --nOpen == 0)
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

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    if (__argc == 4 && strcmp(__argv[1], "--rclick") == 0)
        return RightClick(atoi(__argv[2]), atoi(__argv[3]));

    uQuery = RegisterWindowMessageA("SwvTest.Query");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "SwvTestProgram";
    RegisterClassA(&wc);

    for (int i = 1; i < __argc; i++) {
        char title[512];
        snprintf(title, sizeof title, "%s", __argv[i]);
        char *at = strrchr(title, '@');
        if (!at)
            continue;
        *at = '\0';
        int x = 0, y = 0, cx = 200, cy = 150;
        sscanf(at + 1, "%d,%d,%d,%d", &x, &y, &cx, &cy);
        int show = SW_SHOWNORMAL;
        if (strstr(at + 1, ",min"))
            show = SW_SHOWMINNOACTIVE;
        if (strstr(at + 1, ",max"))
            show = SW_SHOWMAXIMIZED;
        HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, x, y, cx, cy,
                                    NULL, NULL, hInst, NULL);
        if (!hwnd)
            return 2;
        nOpen++;
        ShowWindow(hwnd, show);
        UpdateWindow(hwnd);
    }
    if (nOpen == 0)
        return 1;

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
