// The benchmark's baseline for mapping a library into a program: imports only
// KERNEL32 and USER32 and makes one hidden window on attach, as Swivlet's
// library does.
#include <windows.h>

static LRESULT CALLBACK BaselineProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

extern "C" BOOL WINAPI BaselineEntry(HINSTANCE hInst, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        WNDCLASSA wc = {0, BaselineProc, 0, 0, hInst, NULL, NULL, NULL, NULL, "SwvBaseline"};
        RegisterClassA(&wc);
        CreateWindowExA(0, "SwvBaseline", "baseline", WS_POPUP, 0, 0, 0, 0, NULL, NULL, hInst,
                        NULL);
    }
    return TRUE;
}
