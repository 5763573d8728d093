#include "state.h"
#include "logic.h"
#include "../common/sysdll.h"

/* What the desktop window manager reports about a window: whether it hides
   it (a window on another virtual desktop, a suspended app), and the
   borders of the window's rectangle that it does not draw. Its library is
   bound on the first question and stays, as Run's libraries do; where it
   is missing, or does not know the question, no window is hidden and no
   window has such borders. */
enum {
    SWV_DWMWA_EXTENDED_FRAME_BOUNDS = 9, /* RECT, physical pixels */
    SWV_DWMWA_CLOAKED = 14,              /* DWORD, Windows 8 on */
};

typedef HRESULT(WINAPI *DWMGETWINDOWATTRIBUTEPROC)(HWND, DWORD, PVOID, DWORD);
typedef HANDLE(WINAPI *SETTHREADDPIAWARENESSCONTEXTPROC)(HANDLE);

/* DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: rectangles in physical pixels. */
#define SWV_PHYSICAL_PIXELS ((HANDLE)(LONG_PTR)-3)

static DWMGETWINDOWATTRIBUTEPROC pfnDwmGetWindowAttribute;
static SETTHREADDPIAWARENESSCONTEXTPROC pfnSetThreadDpiAwarenessContext;
static BOOL bTried; /* binding is attempted once per process */

static BOOL BindDwm(void)
{
    if (!bTried) {
        bTried = TRUE;
        HMODULE hDwm = LoadOptionalSystemLibrary("dwmapi.dll");
        if (hDwm)
            pfnDwmGetWindowAttribute =
                (DWMGETWINDOWATTRIBUTEPROC)(void *)GetProcAddress(hDwm, "DwmGetWindowAttribute");
        /* USER32 is loaded already; it has this from Windows 10 version 1607 on. */
        pfnSetThreadDpiAwarenessContext = (SETTHREADDPIAWARENESSCONTEXTPROC)(void *)GetProcAddress(
            GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext");
    }
    return pfnDwmGetWindowAttribute != NULL;
}

BOOL IsCloaked(HWND hWnd)
{
    DWORD dwCloaked = 0;
    if (!BindDwm())
        return FALSE;
    HRESULT hr = pfnDwmGetWindowAttribute(hWnd, SWV_DWMWA_CLOAKED, &dwCloaked, sizeof dwCloaked);
    return CountsAsCloaked(hr, dwCloaked);
}

static Edges EdgesOf(const RECT &rc)
{
    Edges e = {rc.left, rc.top, rc.right, rc.bottom};
    return e;
}

/* The frame bounds are in physical pixels, the rectangle in this thread's
   own: unless the two are the same (no borders, and no scaling), the
   rectangle is read once more in physical pixels to scale the borders by.
   Before Windows 10 version 1607 a thread cannot ask that, and the two are
   taken as the same, as they are at 100 %. */
Edges HiddenBorders(HWND hWnd)
{
    Edges none = {0, 0, 0, 0};
    RECT rcWindow, rcPhysical, rcFrame;
    if (!BindDwm() || !GetWindowRect(hWnd, &rcWindow) ||
        FAILED(pfnDwmGetWindowAttribute(hWnd, SWV_DWMWA_EXTENDED_FRAME_BOUNDS, &rcFrame,
                                        sizeof rcFrame)) ||
        EqualRect(&rcFrame, &rcWindow))
        return none;
    rcPhysical = rcWindow;
    if (pfnSetThreadDpiAwarenessContext) {
        HANDLE hOld = pfnSetThreadDpiAwarenessContext(SWV_PHYSICAL_PIXELS);
        if (hOld) {
            if (!GetWindowRect(hWnd, &rcPhysical))
                rcPhysical = rcWindow;
            pfnSetThreadDpiAwarenessContext(hOld);
        }
    }
    return InvisibleBorders(EdgesOf(rcWindow), EdgesOf(rcPhysical), EdgesOf(rcFrame));
}
