#include "loader.h"
#include "../common/swivlet.h"

/* Marks this program as the one that starts the menu: the library it loads
   installs the mouse hook (see swivlet.h). */
extern "C" __declspec(dllexport) const int SwivletHost = 1;

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrevInst, LPSTR lpCmdLine, int nCmdShow)
{
    (void)hPrevInst;
    (void)nCmdShow;
    if (lstrcmpiA(lpCmdLine, "/c") == 0) {
        ConfigureSettings(hInst);
        return 0;
    }

    /* Loading the library starts the menu: it creates its window on this
       thread, so this loop is what serves it. */
    RemoveOldBuilds();
    HMODULE hMenuLib = LoadMenuLibrary();
    if (!hMenuLib)
        return 1;
    StartPartner();
    Ctl3dStart(hInst);
    Ctl3dAutoSubclass(hInst);

    MSG msg;
    BOOL result;
    while ((result = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (result == -1)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    /* Ended by a quit message of its own: a partner of the other width ends
       too. One ended for a partner's sake tells nobody. */
    if (msg.wParam != SWV_QUIT_FOR_PARTNER)
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(SWV_SHUTDOWN_MSG), SWV_WIDTH, 0);
    Ctl3dStop(hInst);
    FreeLibrary(hMenuLib);
    return 0;
}

/* The program's entry: no C runtime start-up, nothing to initialise. */
extern "C" void __cdecl LoaderStartup(void)
{
    STARTUPINFOA si;
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    int nCmdShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
    LPSTR lpCmdLine = (LPSTR)CommandTail(GetCommandLineA());
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, lpCmdLine, nCmdShow));
}
