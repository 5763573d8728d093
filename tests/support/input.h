// Synthesised pointer and key input, at a user's pace.
#pragma once

#include "base.h"

namespace swv
{

// ---- Input -----------------------------------------------------------------

// A user's separate presses at one place lie further apart than a
// double-click: returns once the double-click time has passed since the last
// input, which may have been a press there (in an earlier test, say).
void AwaitSeparateClick();
void MoveCursorTo(int x, int y);
// Before a press: a separate click, and the pointer at rest at the point
// first, as a user's is.
constexpr DWORD kRestMs = 250;
void PointAt(int x, int y);
void MouseButton(int x, int y, DWORD flags); // MOUSEEVENTF_RIGHTDOWN and so on
void RightClickAt(int x, int y);
void LeftClickAt(int x, int y);
void PressKey(WORD vk);

} // namespace swv
