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
    OpenFileRecord.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    OpenFileRecord.nFileOffset = 0;
    OpenFileRecord.nFileExtension = 0;
    OpenFileRecord.lpstrDefExt = NULL;
    OpenFileRecord.lCustData = 0;
    OpenFileRecord.lpfnHook = OpenHook;
    OpenFileRecord.lpTemplateName = "OPEN_DIALOG";
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
