#include "sysdll.h"

HMODULE LoadOptionalSystemLibrary(const char *name)
{
    char szPath[128];
    UINT len = GetSystemDirectoryA(szPath, sizeof szPath);
    if (len == 0 || len + 1 + lstrlenA(name) >= (int)sizeof szPath)
        return NULL;
    lstrcatA(szPath, "\\");
    lstrcatA(szPath, name);
    if (GetFileAttributesA(szPath) == INVALID_FILE_ATTRIBUTES)
        return NULL;
    HMODULE h = LoadLibraryA(name);
    return (UINT_PTR)h < 32 ? NULL : h;
}
