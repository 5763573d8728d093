#include "sysdll.h"

HMODULE LoadOptionalSystemLibrary(const char *name)
{
    char szPath[MAX_PATH];
    UINT len = GetSystemDirectoryA(szPath, sizeof szPath);
    if (len == 0 || len + 1 + lstrlenA(name) >= (int)sizeof szPath)
        return NULL;
    lstrcatA(szPath, "\\");
    lstrcatA(szPath, name);
    if (GetFileAttributesA(szPath) == INVALID_FILE_ATTRIBUTES)
        return NULL;
    /* By the path just checked: a bare name would search the program's own
       folder first, and a file of that name there would be loaded instead. */
    HMODULE h = LoadLibraryA(szPath);
    return (UINT_PTR)h < 32 ? NULL : h;
}
