// A stand-in for the desktop window manager's library, for the test prefix
// only: it answers as Windows 10 and 11 do, for the windows a test marks
// (fakedwm.h). Wine's own answers no window as cloaked and gives every
// window frame bounds equal to its rectangle.
#include <windows.h>

#include "fakedwm.h"

enum {
    ATTR_EXTENDED_FRAME_BOUNDS = 9, // RECT, physical pixels
    ATTR_CLOAKED = 14,              // DWORD
};

typedef HANDLE(WINAPI *SETTHREADDPIAWARENESSCONTEXTPROC)(HANDLE);

// The window's rectangle in physical pixels, whatever the caller's thread
// is aware of, as DWM reports frame bounds.
static BOOL PhysicalWindowRect(HWND hwnd, RECT *rc)
{
    SETTHREADDPIAWARENESSCONTEXTPROC set = (SETTHREADDPIAWARENESSCONTEXTPROC)(void *)GetProcAddress(
        GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext");
    HANDLE old = set ? set((HANDLE)(LONG_PTR)-3) : NULL; // per-monitor aware
    BOOL ok = GetWindowRect(hwnd, rc);
    if (old)
        set(old);
    return ok;
}

extern "C" HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD attr, PVOID value, DWORD size)
{
    if (!IsWindow(hwnd))
        return E_HANDLE;
    if (attr == ATTR_CLOAKED) {
        if (!value || size != sizeof(DWORD))
            return E_INVALIDARG;
        *(DWORD *)value = (DWORD)(ULONG_PTR)GetPropA(hwnd, SWV_DWM_CLOAKED);
        return S_OK;
    }
    if (attr == ATTR_EXTENDED_FRAME_BOUNDS) {
        RECT rc;
        if (!value || size != sizeof(RECT))
            return E_INVALIDARG;
        if (!PhysicalWindowRect(hwnd, &rc))
            return E_HANDLE;
        ULONG_PTR b = (ULONG_PTR)GetPropA(hwnd, SWV_DWM_BORDERS);
        rc.left += (LONG)(b & 0xFF);
        rc.top += (LONG)(b >> 8 & 0xFF);
        rc.right -= (LONG)(b >> 16 & 0xFF);
        rc.bottom -= (LONG)(b >> 24 & 0xFF);
        *(RECT *)value = rc;
        return S_OK;
    }
    return E_INVALIDARG; // what DWM answers for an attribute it does not know
}
