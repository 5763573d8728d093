#include "loader.h"
#include "../common/swivlet.h"

/* On 64-bit Windows this loader serves the 64-bit programs; the 32-bit ones
   need the 32-bit build, which it starts from the "x86" folder beside it
   unless one runs already. The 32-bit build starts nothing. */
void StartPartner(void)
{
#ifdef _WIN64
    HANDLE hMark = OpenEventA(SYNCHRONIZE, FALSE, SWV_HOST_MARK_32);
    if (hMark) {
        CloseHandle(hMark);
        return;
    }
    static const char szPartner[] = "x86\\swv32load.exe";
    char szCmd[MAX_PATH + 2];
    szCmd[0] = '"';
    DWORD n = GetModuleFileNameA(NULL, szCmd + 1, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    DWORD dir = n;
    while (dir > 0 && szCmd[dir] != '\\')
        dir--;
    /* szCmd holds the quote, the folder with its backslash, the name and
       the closing quote with the terminator. */
    if (dir + 1 + sizeof szPartner + 1 > sizeof szCmd)
        return;
    lstrcpynA(szCmd + dir + 1, szPartner, (int)(sizeof szCmd - dir - 1));
    lstrcatA(szCmd, "\"");
    static STARTUPINFOA si; /* static: zeroed without a C runtime */
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (CreateProcessA(NULL, szCmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
#endif
}
