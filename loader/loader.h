/* The loader program: start-up, the 3-D controls binding and the
   configuration dialogue. */
#pragma once
#include <windows.h>

/* Command line handed to WinMain: the text after the program name and the
   blanks and tabs that follow it. */
const char *CommandTail(const char *cmdLine);

/* Optional 3-D controls library; each answers 0 when it is not bound. */
int Ctl3dStart(HINSTANCE hInst);
int Ctl3dAutoSubclass(HINSTANCE hInst);
int Ctl3dStop(HINSTANCE hInst);

void ConfigureSettings(HINSTANCE hInst);
