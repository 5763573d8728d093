#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- Input -----------------------------------------------------------------

static LONG Absolute(int v, int extent)
{
    return MulDiv(v, 65535, extent - 1);
}

void MouseButton(int x, int y, DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = Absolute(x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = Absolute(y, GetSystemMetrics(SM_CYSCREEN));
    // Each event carries its own position: the display may still report an
    // older pointer position for a while after SetCursorPos.
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void MoveCursorTo(int x, int y)
{
    SetCursorPos(x, y);
    MouseButton(x, y, 0);
}

void AwaitSeparateClick()
{
    LASTINPUTINFO lii = {};
    lii.cbSize = sizeof lii;
    if (!GetLastInputInfo(&lii))
        return;
    DWORD since = GetTickCount() - lii.dwTime;
    if (since < GetDoubleClickTime())
        Sleep(GetDoubleClickTime() - since);
}

void PointAt(int x, int y)
{
    AwaitSeparateClick();
    MoveCursorTo(x, y);
    // Under Wine the desktop's program turns the display's crossing events
    // into moves to where the display had the pointer, which may be the
    // place before this one, and now and then only after this move: a press
    // followed by such a move is the start of a drag to a list view, which
    // then shows no menu. The press waits until input has been quiet for
    // kRestMs with the pointer here, putting it back if a late move took it.
    WaitFor([x, y] {
        POINT at;
        if (GetCursorPos(&at) && (at.x != x || at.y != y)) {
            MoveCursorTo(x, y);
            return false;
        }
        LASTINPUTINFO lii = {};
        lii.cbSize = sizeof lii;
        return GetLastInputInfo(&lii) && GetTickCount() - lii.dwTime >= kRestMs;
    });
}

void RightClickAt(int x, int y)
{
    PointAt(x, y);
    MouseButton(x, y, MOUSEEVENTF_RIGHTDOWN);
    FlushEvents(30); // held as long as a user holds it
    MouseButton(x, y, MOUSEEVENTF_RIGHTUP);
}

void LeftClickAt(int x, int y)
{
    PointAt(x, y);
    MouseButton(x, y, MOUSEEVENTF_LEFTDOWN);
    Sleep(50); // held as long as a user holds it
    MouseButton(x, y, MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

} // namespace swv
