// Popup menus shown on the test's own thread: reading, keying and their ink.
#pragma once

#include "base.h"

namespace swv
{

// ---- Menus shown on this thread --------------------------------------------

struct MenuItem {
    UINT id;
    UINT state;         // MFS_* from GetMenuItemInfo
    UINT type;          // MFT_*
    std::string text;   // in the ANSI code page
    std::wstring wtext; // as the menu holds it, in UTF-16
};

struct MenuCapture {
    bool appeared = false;
    HWND popup = NULL;
    std::vector<MenuItem> items;
    RECT rect = {};
};

// Runs show() on this thread, then pumps while a second thread waits for the
// Swivlet menu it shows (the popup whose first entry is "Push"), reads it,
// runs whileShown (if any), then presses the given keys in it (Escape by
// default). Any other popup of this process that shows meanwhile is closed.
MenuCapture CaptureMenu(const std::function<void()> &show,
                        const std::vector<WORD> &keys = {VK_ESCAPE},
                        const std::function<void()> &whileShown = nullptr);

// Rows of ink in a popup menu on the screen, top to bottom, as a user sees
// them: for each, whether it holds text in the menu-text colour (an enabled
// item) or only in the grey-text colour (a greyed item or a separator).
struct InkBand {
    int top, bottom;
    bool dark; // pixels of COLOR_MENUTEXT
    bool grey; // pixels of COLOR_GRAYTEXT
};
std::vector<InkBand> MenuInkBands(HWND popup);

} // namespace swv
