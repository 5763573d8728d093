#include "state.h"
#include "logic.h"
#include <dlgs.h>

OPENFILENAMEA OpenFileRecord;
char szFilter[FILTER_CHARS];
char szFile[PATH_CHARS];
char szFileTitle[PATH_CHARS];
char szInitialDir[PATH_CHARS];
char szArgs[ARGS_CHARS];

void PrepareOpenFileRecord(void)
{
    /* The record up to lpTemplateName: the classic dialog's own form. */
    OpenFileRecord.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    OpenFileRecord.hwndOwner = NULL;
    OpenFileRecord.hInstance = hLibInstance;
    OpenFileRecord.lpstrFilter = szFilter;
    OpenFileRecord.lpstrCustomFilter = NULL;
    OpenFileRecord.nMaxCustFilter = 0;
    OpenFileRecord.nFilterIndex = 0;
    OpenFileRecord.lpstrFile = szFile;
    OpenFileRecord.nMaxFile = sizeof szFile;
    OpenFileRecord.lpstrFileTitle = szFileTitle;
    OpenFileRecord.nMaxFileTitle = sizeof szFileTitle;
    OpenFileRecord.lpstrInitialDir = szInitialDir;
    OpenFileRecord.lpstrTitle = "Open / Run";
    /* Long names: without the flag the classic dialog shows 8.3 names for
       every file and folder whose name has a space. */
    OpenFileRecord.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_LONGNAMES;
    OpenFileRecord.nFileOffset = 0;
    OpenFileRecord.nFileExtension = 0;
    OpenFileRecord.lpstrDefExt = NULL;
    OpenFileRecord.lCustData = 0;
    OpenFileRecord.lpfnHook = OpenHook;
    OpenFileRecord.lpTemplateName = "OPEN_DIALOG";
}

static const char szFilterStart[] =
    "*.exe;*.com   Program Files!*.exe;*.com!*.bat   Batch Files!*.bat!";

/* The default text of a key under the root, ending within the buffer
   whatever the registry holds: text stored without its terminator comes
   back without one. */
static BOOL ReadDefaultText(HKEY hRoot, const char *pszKey, char *pszValue, LONG cchValue)
{
    LONG cbValue = cchValue;
    if (pfnRegQueryValueA(hRoot, pszKey, pszValue, &cbValue) != ERROR_SUCCESS)
        return FALSE;
    pszValue[cchValue - 1] = '\0';
    return TRUE;
}

/* One pair per extension key under the classes root, in the order of the
   enumeration: its pattern, and the description of the type it names. Only
   what fits is taken, keeping room for the closing pair. */
void BuildFileFilter(void)
{
    HKEY hRoot;
    LONG lOpened =
        RegistryBound() ? pfnRegOpenKeyA(HKEY_CLASSES_ROOT, NULL, &hRoot) : ERROR_FILE_NOT_FOUND;
    if (lOpened == ERROR_SUCCESS) {
        char szKey[80], szValue[80], szPattern[20];
        for (DWORD i = 0;; i++) {
            LONG lResult = pfnRegEnumKeyA(hRoot, i, szKey, sizeof szKey);
            /* A name too long for the buffer hides only itself. */
            if (lResult == ERROR_MORE_DATA)
                continue;
            if (lResult != ERROR_SUCCESS)
                break;
            if (szKey[0] != '.')
                continue;
            if (!ReadDefaultText(hRoot, szKey, szValue, sizeof szValue))
                continue;
            if (!MakeFilterPattern(szPattern, sizeof szPattern, szKey))
                continue;
            /* An empty type name reads the root's own text, as it should. */
            lstrcpynA(szKey, szValue, sizeof szKey);
            if (!ReadDefaultText(hRoot, szKey, szValue, sizeof szValue))
                continue;
            if (!AppendFilterPair(szFilter, sizeof szFilter, FilterEndLength(), szPattern, szValue))
                break;
        }
    }
    AppendFilterEnd(szFilter, sizeof szFilter);
    if (lOpened == ERROR_SUCCESS)
        pfnRegCloseKey(hRoot);
}

static BOOL bRunning; /* the dialog is open: Run is not entered again */

void WINAPI Run(void)
{
    /* Without the dialog or the shell, as when the dialog fails: nothing
       starts and nothing is shown. */
    if (bRunning || !BindRunLibraries())
        return;
    EnsureReady();
    lstrcpynA(szFilter, szFilterStart, sizeof szFilter);
    BuildFileFilter();
    szFile[0] = '\0';
    szFileTitle[0] = '\0';
    SplitFilter(szFilter);
    OpenFileRecord.hwndOwner = hTargetWnd == hDesktopWnd ? hMenuWnd : hTargetWnd;

    bRunning = TRUE;
    BOOL bChosen = pfnGetOpenFileNameA(&OpenFileRecord);
    bRunning = FALSE;
    if (!bChosen)
        return;

    /* The name without its directory, taken from the path itself: a dialog
       may report the file list's current entry rather than the typed name. */
    lstrcpynA(szFileTitle, PathNamePart(szFile), sizeof szFileTitle);
    if (lstrcmpiA(szFileTitle, "exit") == 0 &&
        MessageBoxA(hTargetWnd, "Shut down Swivlet?", "Swivlet", MB_OKCANCEL) == IDOK) {
        /* Reaches the program that started the menu, wherever it was shown;
           no other program is told to quit. */
        PostMessageA(HWND_BROADCAST, uShutdownMsg, 0, 0);
        return;
    }

    PathDirectoryPart(szFile, szInitialDir, sizeof szInitialDir);
    if ((INT_PTR)pfnShellExecuteA(NULL, NULL, szFile, szArgs, NULL, SW_SHOW) > 32)
        return;
    if ((INT_PTR)pfnShellExecuteA(NULL, NULL, szFileTitle, szArgs, NULL, SW_SHOW) > 32)
        return;
    MessageBoxA(hTargetWnd, "Invalid command or file!", "Swivlet", MB_OK);
}

/* Splits the arguments off the typed name before the dialog takes it. */
UINT_PTR CALLBACK OpenHook(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    if (uMsg == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        szArgs[0] = '\0';
        SendDlgItemMessageA(hDlg, edt1, WM_GETTEXT, sizeof szFile, (LPARAM)szFile);
        SplitArguments(szFile, szArgs, sizeof szArgs);
        SendDlgItemMessageA(hDlg, edt1, WM_SETTEXT, 0, (LPARAM)szFile);
    }
    return 0;
}
