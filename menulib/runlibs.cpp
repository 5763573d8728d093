#include "state.h"
#include "../common/sysdll.h"

/* The libraries only Run needs, bound when Run first needs them. Every
   program the hook maps the library into pays for its static imports on its
   first mouse move; the file dialog and the shell pull in a great deal and
   serve one command that a user chooses now and then. Once bound they stay:
   the library is never freed where they could be unloaded safely. */
GETOPENFILENAMEPROC pfnGetOpenFileNameA;
SHELLEXECUTEPROC pfnShellExecuteA;
REGOPENKEYPROC pfnRegOpenKeyA;
REGENUMKEYPROC pfnRegEnumKeyA;
REGQUERYVALUEPROC pfnRegQueryValueA;
REGCLOSEKEYPROC pfnRegCloseKey;

static BOOL bTried; /* binding is attempted once per process */

static FARPROC Entry(HMODULE hLib, const char *pszName)
{
    return hLib ? GetProcAddress(hLib, pszName) : NULL;
}

BOOL BindRunLibraries(void)
{
    if (!bTried) {
        bTried = TRUE;
        HMODULE hComdlg = LoadOptionalSystemLibrary("comdlg32.dll");
        HMODULE hShell = LoadOptionalSystemLibrary("shell32.dll");
        HMODULE hAdvapi = LoadOptionalSystemLibrary("advapi32.dll");
        pfnGetOpenFileNameA = (GETOPENFILENAMEPROC)(void *)Entry(hComdlg, "GetOpenFileNameA");
        pfnShellExecuteA = (SHELLEXECUTEPROC)(void *)Entry(hShell, "ShellExecuteA");
        pfnRegOpenKeyA = (REGOPENKEYPROC)(void *)Entry(hAdvapi, "RegOpenKeyA");
        pfnRegEnumKeyA = (REGENUMKEYPROC)(void *)Entry(hAdvapi, "RegEnumKeyA");
        pfnRegQueryValueA = (REGQUERYVALUEPROC)(void *)Entry(hAdvapi, "RegQueryValueA");
        pfnRegCloseKey = (REGCLOSEKEYPROC)(void *)Entry(hAdvapi, "RegCloseKey");
    }
    return pfnGetOpenFileNameA && pfnShellExecuteA;
}

BOOL RegistryBound(void)
{
    return pfnRegOpenKeyA && pfnRegEnumKeyA && pfnRegQueryValueA && pfnRegCloseKey;
}
