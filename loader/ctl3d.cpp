#include "loader.h"
#include "../common/sysdll.h"

typedef BOOL(WINAPI *CTL3DPROC)(HINSTANCE);

static HMODULE hCtl3d;            /* null while the library is absent */
static CTL3DPROC pfnAutoSubclass; /* Ctl3dAutoSubclass */
static CTL3DPROC pfnRegister;     /* Ctl3dRegister */
static CTL3DPROC pfnUnregister;   /* Ctl3dUnregister */

static CTL3DPROC Entry(const char *name)
{
    return (CTL3DPROC)(void *)GetProcAddress(hCtl3d, name);
}

int Ctl3dStart(HINSTANCE hInst)
{
    hCtl3d = LoadOptionalSystemLibrary("CTL3D32.DLL");
    if (!hCtl3d)
        return 0;
    pfnAutoSubclass = Entry("Ctl3dAutoSubclass");
    pfnRegister = Entry("Ctl3dRegister");
    pfnUnregister = Entry("Ctl3dUnregister");
    return pfnRegister ? pfnRegister(hInst) : 0;
}

int Ctl3dAutoSubclass(HINSTANCE hInst)
{
    return hCtl3d && pfnAutoSubclass ? pfnAutoSubclass(hInst) : 0;
}

int Ctl3dStop(HINSTANCE hInst)
{
    if (!hCtl3d)
        return 0;
    int result = pfnUnregister ? pfnUnregister(hInst) : 0;
    FreeLibrary(hCtl3d);
    return result;
}
