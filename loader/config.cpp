#include "loader.h"
#include "../common/swivlet.h"

/* Longest wait for one program's thread to take the settings broadcast; a
   thread that let it pass is not waited for again. */
enum { BROADCAST_WAIT_MS = 2000, MAX_HUNG_THREADS = 32 };

struct Broadcast {
    DWORD HungThreads[MAX_HUNG_THREADS];
    int nHung;
};

static BOOL CALLBACK TellWindow(HWND hWnd, LPARAM lParam)
{
    Broadcast *pb = (Broadcast *)lParam;
    DWORD dwThread = GetWindowThreadProcessId(hWnd, NULL);
    for (int i = 0; i < pb->nHung; i++)
        if (pb->HungThreads[i] == dwThread)
            return TRUE;
    DWORD_PTR dwResult;
    if (!SendMessageTimeoutA(hWnd, WM_WININICHANGE, 0, (LPARAM)SWV_SECTION, SMTO_ABORTIFHUNG,
                             BROADCAST_WAIT_MS, &dwResult) &&
        IsWindow(hWnd) && pb->nHung < MAX_HUNG_THREADS)
        pb->HungThreads[pb->nHung++] = dwThread;
    return TRUE;
}

/* What a broadcast does, but one program that has stopped answering holds it
   up once at most, not once for each of its windows. */
static void BroadcastSettingsChange(void)
{
    Broadcast b;
    b.nHung = 0;
    EnumWindows(TellWindow, (LPARAM)&b);
}

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
    BroadcastSettingsChange();
    Ctl3dStop(hInst);
}
