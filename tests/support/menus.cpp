#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- Menus shown on this thread --------------------------------------------

namespace
{
struct CaptureJob {
    DWORD pid;
    std::vector<WORD> keys;
    std::function<void()> whileShown;
    MenuCapture result;
    HANDLE done; // the menu was read and keyed, or did not come
    HANDLE stop; // CaptureMenu is returning
};
} // namespace

static std::vector<MenuItem> ReadMenu(HWND popup)
{
    std::vector<MenuItem> items;
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        wchar_t wtext[256] = L"";
        MENUITEMINFOW mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        mii.dwTypeData = wtext;
        mii.cch = 256;
        GetMenuItemInfoW(menu, (UINT)i, TRUE, &mii);
        char text[512] = "";
        WideCharToMultiByte(CP_ACP, 0, wtext, -1, text, sizeof text, NULL, NULL);
        items.push_back({mii.wID, mii.fState, mii.fType, text, wtext});
    }
    return items;
}

// Swivlet's menu begins with "Push"; any other popup (a system menu the same
// click opened for a moment, say) is not the one to read.
static DWORD WINAPI CaptureThread(void *param)
{
    auto *job = static_cast<CaptureJob *>(param);
    HWND popup = NULL;
    WaitFor([&] {
        for (HWND h : VisiblePopupMenus(job->pid)) {
            std::vector<MenuItem> items = ReadMenu(h);
            if (!items.empty() && items[0].text == "Push") {
                popup = h;
                job->result.items = items;
                return true;
            }
        }
        return false;
    });
    if (popup) {
        job->result.popup = popup;
        GetWindowRect(popup, &job->result.rect);
        job->result.appeared = true;
        if (job->whileShown)
            job->whileShown();
        for (WORD key : job->keys)
            PostMessageA(popup, WM_KEYDOWN, key, 0);
    }
    SetEvent(job->done);
    // Any other menu that shows meanwhile (a second one for the same press)
    // would hold the caller's thread up: it is closed.
    while (WaitForSingleObject(job->stop, 10) == WAIT_TIMEOUT)
        for (HWND h : VisiblePopupMenus(job->pid))
            if (h != popup)
                PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

MenuCapture CaptureMenu(const std::function<void()> &show, const std::vector<WORD> &keys,
                        const std::function<void()> &whileShown)
{
    CaptureJob job = {GetCurrentProcessId(),
                      keys,
                      whileShown,
                      {},
                      CreateEventA(NULL, TRUE, FALSE, NULL),
                      CreateEventA(NULL, TRUE, FALSE, NULL)};
    HANDLE thread = CreateThread(NULL, 0, CaptureThread, &job, 0, NULL);
    show();
    // The menu shows while this thread pumps, and the reader talks to it.
    while (MsgWaitForMultipleObjects(1, &job.done, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
        FlushEvents();
    FlushEvents();
    SetEvent(job.stop);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(job.done);
    CloseHandle(job.stop);
    return job.result;
}

static bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) < 40 && abs(GetGValue(a) - GetGValue(b)) < 40 &&
           abs(GetBValue(a) - GetBValue(b)) < 40;
}

std::vector<InkBand> MenuInkBands(HWND popup)
{
    std::vector<InkBand> bands;
    RECT r;
    if (!GetWindowRect(popup, &r))
        return bands;
    int cx = r.right - r.left, cy = r.bottom - r.top;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY);
    COLORREF text = GetSysColor(COLOR_MENUTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
    COLORREF back = GetSysColor(COLOR_MENU);
    bool inBand = false;
    const int border = 3;
    for (int y = border; y < cy - border; y++) {
        bool dark = false, greyInk = false, ink = false;
        for (int x = border + 2; x < cx - border - 2; x++) {
            COLORREF c = GetPixel(mem, x, y);
            if (Near(c, back))
                continue;
            ink = true;
            if (Near(c, text))
                dark = true;
            else if (Near(c, grey))
                greyInk = true;
        }
        if (ink && !inBand)
            bands.push_back({y, y, false, false});
        if (ink) {
            bands.back().bottom = y;
            bands.back().dark |= dark;
            bands.back().grey |= greyInk;
        }
        inBand = ink;
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return bands;
}

} // namespace swv
