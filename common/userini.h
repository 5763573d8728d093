/* The per-user settings file, "<application data>\Swivlet\Swivlet.ini":
   a standard user can write it, and programs of both widths read the same
   file, where WIN.INI may be closed to the user. */
#pragma once
#include <windows.h>

/* The file's path into buf, or with bFolder its folder's; the length, or 0
   when the application data folder is unknown or the path does not fit. */
UINT UserSettingsPath(char *buf, UINT size, BOOL bFolder);
