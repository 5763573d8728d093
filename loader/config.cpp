#include "loader.h"
#include "../common/swivlet.h"
#include "../common/userini.h"

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

/* Into the user's own file, which a standard user can write: WIN.INI may be
   closed to the user. Every key is written, "0" included, so that no value
   left in WIN.INI from before counts over the answer. szFile gets the
   file's path, or "" when it is not known. */
static BOOL SaveSettings(BOOL bPushTo, BOOL bNoTitle, BOOL bNoDesktop, char *szFile, UINT size)
{
    char szFolder[MAX_PATH];
    szFile[0] = '\0';
    if (!UserSettingsPath(szFolder, sizeof szFolder, TRUE) ||
        !UserSettingsPath(szFile, size, FALSE))
        return FALSE;
    CreateDirectoryA(szFolder, NULL); /* a failure shows in the writes */
    BOOL bSaved =
        WritePrivateProfileStringA(SWV_SECTION, SWV_KEY_PUSHTO, bPushTo ? "1" : "0", szFile);
    bSaved &=
        WritePrivateProfileStringA(SWV_SECTION, SWV_KEY_NOTITLE, bNoTitle ? "1" : "0", szFile);
    bSaved &=
        WritePrivateProfileStringA(SWV_SECTION, SWV_KEY_NODESKTOP, bNoDesktop ? "1" : "0", szFile);
    return bSaved;
}

/* Appends as much of src as fits. */
static void Append(char *dst, int size, const char *src)
{
    int len = lstrlenA(dst);
    lstrcpynA(dst + len, src, size - len);
}

static void ReportNotSaved(const char *szFile)
{
    char szText[MAX_PATH + 80];
    szText[0] = '\0';
    Append(szText, sizeof szText, "Swivlet could not save the settings");
    if (szFile[0]) {
        Append(szText, sizeof szText, " in ");
        Append(szText, sizeof szText, szFile);
    }
    Append(szText, sizeof szText, ". They are unchanged.");
    MessageBoxA(NULL, szText, "Swivlet Configure", MB_OK | MB_ICONEXCLAMATION);
}

/* Each answer maps straight onto one key. */
void ConfigureSettings(HINSTANCE hInst)
{
    Ctl3dStart(hInst);
    Ctl3dAutoSubclass(hInst);
    if (MessageBoxA(NULL, "Swivlet is already running, do you want to configure Swivlet?",
                    "Swivlet", MB_YESNO) == IDNO)
        return;

    BOOL bPushTo = Ask("Do you use a program that creates its own desktop window?",
                       MB_YESNO | MB_DEFBUTTON2) == IDYES;
    BOOL bNoTitle = Ask("Enable Swivlet Menu on title bar right click?", MB_YESNO) == IDNO;
    BOOL bNoDesktop = Ask("Enable Swivlet Menu on desktop right click?", MB_YESNO) == IDNO;
    char szFile[MAX_PATH];
    BOOL bSaved = SaveSettings(bPushTo, bNoTitle, bNoDesktop, szFile, sizeof szFile);

    /* Every running copy of the menu library reloads its settings on this. */
    BroadcastSettingsChange();
    if (!bSaved)
        ReportNotSaved(szFile);
    Ctl3dStop(hInst);
}
