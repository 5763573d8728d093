#pragma once
#include <windows.h>

/* Loads an optional library of the system folder by its full path there.
   Null when absent or unloadable. */
HMODULE LoadOptionalSystemLibrary(const char *name);
