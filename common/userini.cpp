#include "userini.h"

UINT UserSettingsPath(char *buf, UINT size, BOOL bFolder)
{
    /* The system sets it for every user; it saves binding the shell into
       every program the hook maps the library into. */
    DWORD len = GetEnvironmentVariableA("APPDATA", buf, size);
    if (len == 0 || len >= size)
        return 0;
    const char *tail = bFolder ? "\\Swivlet" : "\\Swivlet\\Swivlet.ini";
    UINT total = len + (UINT)lstrlenA(tail);
    if (total >= size)
        return 0;
    lstrcpynA(buf + len, tail, (int)(size - len));
    return total;
}
