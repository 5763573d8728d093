#include "loader.h"
#include "../common/swivlet.h"
#include "libbuild.h"

/* The folder of this program, with its trailing backslash, in szPath;
   its length, or 0 when it does not fit with room for nReserve more. */
static DWORD ProgramFolder(char *szPath, DWORD cch, DWORD nReserve)
{
    DWORD n = GetModuleFileNameA(NULL, szPath, cch);
    if (n == 0 || n >= cch)
        return 0;
    while (n > 0 && szPath[n - 1] != '\\')
        n--;
    if (n == 0 || n + nReserve >= cch)
        return 0;
    szPath[n] = '\0';
    return n;
}

/* The system finds the hook in every program by the library's path and
   the procedure's offset in it, and programs the hook reached keep their
   copy until they end: a library of another build at the same path would
   have them run this build's hook in that build's code. So each build's
   library lies in a folder of its own, and this loader binds its own. */
HMODULE LoadMenuLibrary(void)
{
    static const char szLib[] = SWV_LIB_FOLDER "\\" SWV_LIBRARY;
    char szPath[MAX_PATH];
    DWORD n = ProgramFolder(szPath, sizeof szPath, sizeof szLib);
    if (n == 0)
        return NULL;
    lstrcpynA(szPath + n, szLib, (int)(sizeof szPath - n));
    return LoadLibraryA(szPath);
}

static BOOL IsOldBuildFolder(const char *pszName)
{
    static const char szPrefix[] = SWV_BUILD_PREFIX;
    const int nPrefix = (int)sizeof szPrefix - 1;
    if (lstrlenA(pszName) != nPrefix + SWV_BUILD_HASH_CHARS ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, pszName, nPrefix, szPrefix, nPrefix) !=
            CSTR_EQUAL ||
        lstrcmpiA(pszName, SWV_LIB_FOLDER) == 0)
        return FALSE;
    for (int i = nPrefix; pszName[i]; i++) {
        char c = pszName[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return FALSE;
    }
    return TRUE;
}

/* Older builds' folders go once no program holds their library: the
   system refuses to delete a library that is loaded anywhere, and an
   emptied folder is all that is removed. What is still held goes at a
   later start. */
void RemoveOldBuilds(void)
{
    char szPath[MAX_PATH];
    const DWORD nName = SWV_BUILD_HASH_CHARS + sizeof SWV_BUILD_PREFIX + sizeof SWV_LIBRARY;
    DWORD n = ProgramFolder(szPath, sizeof szPath, nName + 1);
    if (n == 0)
        return;
    lstrcpynA(szPath + n, SWV_BUILD_PREFIX "*", (int)(sizeof szPath - n));
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(szPath, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsOldBuildFolder(fd.cFileName))
            continue;
        /* The name is of known length, so folder, backslash and library fit. */
        lstrcpynA(szPath + n, fd.cFileName, (int)(sizeof szPath - n));
        DWORD nFolder = n + (DWORD)lstrlenA(szPath + n);
        lstrcpynA(szPath + nFolder, "\\" SWV_LIBRARY, (int)(sizeof szPath - nFolder));
        if (DeleteFileA(szPath) || GetLastError() == ERROR_FILE_NOT_FOUND) {
            szPath[nFolder] = '\0';
            RemoveDirectoryA(szPath);
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}
