#include "state.h"

/* Runs for every mouse message of every thread on the desktop. */
LRESULT CALLBACK FMMouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(hMouseHook, nCode, wParam, lParam);
}
