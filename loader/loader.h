/* The loader program: start-up, the 3-D controls binding and the
   configuration dialogue. */
#pragma once
#include <windows.h>

#include "cmdline.h"

/* Optional 3-D controls library; each answers 0 when it is not bound. */
int Ctl3dStart(HINSTANCE hInst);
int Ctl3dAutoSubclass(HINSTANCE hInst);
int Ctl3dStop(HINSTANCE hInst);

void ConfigureSettings(HINSTANCE hInst);

/* Starts the loader of the other width where this one needs it. */
void StartPartner(void);

/* This build's menu library, from its folder beside the loader. */
HMODULE LoadMenuLibrary(void);
/* Deletes older builds' libraries and folders that nothing holds. */
void RemoveOldBuilds(void);
