#include "state.h"

static void OnSysColorChange(void)
{
    if (hCtl3d && pfnCtl3dColorChange)
        pfnCtl3dColorChange();
}

LRESULT CALLBACK FMDeskWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_WININICHANGE:
        /* Whatever section changed: the configuration sends "Swivlet", but a
           reload costs three profile reads. */
        ReadSettings();
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
