#pragma once
#include <windows.h>

/* Loads an optional system library by its bare name, but only when a file of
   that name lies in the system folder. Null when absent or unloadable. */
HMODULE LoadOptionalSystemLibrary(const char *name);
