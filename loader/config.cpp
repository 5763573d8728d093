#include "loader.h"
#include "../common/swivlet.h"

static int Ask(const char *text, UINT uType)
{
    return MessageBoxA(NULL, text, "Swivlet Configure", uType);
}

/* Each answer maps straight onto one key: "1" or no key at all. */
void ConfigureSettings(HINSTANCE hInst)
{
    Ctl3dStart(hInst);
    Ctl3dAutoSubclass(hInst);
    if (MessageBoxA(NULL, "Swivlet is already running, do you want to configure Swivlet?",
                    "Swivlet", MB_YESNO) == IDNO)
        return;

    int answer =
        Ask("Do you use a program that creates its own desktop window?", MB_YESNO | MB_DEFBUTTON2);
    WriteProfileStringA(SWV_SECTION, SWV_KEY_PUSHTO, answer == IDYES ? "1" : NULL);
    answer = Ask("Enable Swivlet Menu on title bar right click?", MB_YESNO);
    WriteProfileStringA(SWV_SECTION, SWV_KEY_NOTITLE, answer == IDNO ? "1" : NULL);
    answer = Ask("Enable Swivlet Menu on desktop right click?", MB_YESNO);
    WriteProfileStringA(SWV_SECTION, SWV_KEY_NODESKTOP, answer == IDNO ? "1" : NULL);

    /* Every running copy of the menu library reloads its settings on this. */
    SendMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, (LPARAM)SWV_SECTION);
    Ctl3dStop(hInst);
}
