// A stand-in for the 3-D controls library that records each call, with the
// instance handle it was given and the calling process, in the file named by
// the environment variable SWV_CTL3D_LOG.
#include <windows.h>

#include <cstdio>

static void Record(const char *what, HINSTANCE hInst)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("SWV_CTL3D_LOG", path, sizeof path))
        return;
    FILE *f = fopen(path, "a");
    if (!f)
        return;
    fprintf(f, "%s %p %lu\n", what, (void *)hInst, GetCurrentProcessId());
    fclose(f);
}

extern "C" {
BOOL WINAPI Ctl3dRegister(HINSTANCE hInst)
{
    Record("Register", hInst);
    return TRUE;
}

BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE hInst)
{
    Record("AutoSubclass", hInst);
    return TRUE;
}

BOOL WINAPI Ctl3dUnregister(HINSTANCE hInst)
{
    Record("Unregister", hInst);
    return TRUE;
}

BOOL WINAPI Ctl3dColorChange(void)
{
    Record("ColorChange", NULL);
    return TRUE;
}
}
