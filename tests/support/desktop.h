// Windows of the tests and of other programs: making, finding, reading, dialogs, screenshots.
#pragma once

#include "base.h"

namespace swv
{

// ---- Windows ---------------------------------------------------------------

// A top-level (or owned) window of a registered class with DefWindowProcA,
// so that it has a real caption and answers hit tests like any program's.
HWND CreateTestWindow(const char *title, int x, int y, int cx, int cy,
                      DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND owner = NULL,
                      DWORD exStyle = 0);
// The same of a Unicode class, whose title holds any character.
HWND CreateTestWindow(const wchar_t *title, int x, int y, int cx, int cy);
HWND CreateChildWindow(HWND parent, const char *title, int x, int y, int cx, int cy, DWORD style);

// Destroys every window of this thread that the tests created.
void DestroyTestWindows();

std::string WindowText(HWND hwnd);
::testing::AssertionResult WindowPosIs(HWND hwnd, int x, int y, int cx, int cy);
#define EXPECT_WINDOWPOS(hwnd, x, y, cx, cy)                                                       \
    EXPECT_TRUE(::swv::Eventually([&] { return ::swv::WindowPosIs(hwnd, x, y, cx, cy); }))

// The windows of `among`, in Z-order from the top, as one snapshot.
std::vector<HWND> ZOrder(const std::vector<HWND> &among);
::testing::AssertionResult ZOrderIs(const std::vector<HWND> &expectedTopFirst);

// Screen point in the middle of a window's caption.
POINT CaptionPoint(HWND hwnd);

// Visible popup menus ("#32768") on the desktop, or of one process.
std::vector<HWND> VisiblePopupMenus(DWORD pid = 0);

// ---- Dialogs ---------------------------------------------------------------

// A dialog box ("#32770") with that caption, of a process (0: any).
HWND WaitForDialog(const char *caption, DWORD pid = 0, DWORD timeoutMs = 10000);
// The text of a message box.
std::string MessageBoxText(HWND box);
// The identifier of a dialog's default push button, or 0.
int DefaultButton(HWND box);
// Clicks a button of a dialog, as a user would.
void ClickDialogButton(HWND box, int id);

// ---- Screenshots -----------------------------------------------------------

// Saves the screen as <name>.bmp in the build's screenshot folder.
bool SaveScreenshot(const char *name);

} // namespace swv
