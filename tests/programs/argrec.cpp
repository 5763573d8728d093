// Records how it was started: its command-line tail (the arguments), one
// line appended to the file named by the environment variable SWV_ARGREC.
#include <windows.h>

#include <cstdio>

#include "cmdline.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("SWV_ARGREC", path, sizeof path))
        return 1;
    FILE *f = fopen(path, "ab");
    if (!f)
        return 1;
    fprintf(f, "[%s]\n", CommandTail(GetCommandLineA()));
    fclose(f);
    return 0;
}
