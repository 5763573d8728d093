#include "menuwatch.h"
#include "testsupport.h"

#include <cstring>

namespace swv
{

static MenuWatch *active;

MenuWatch::MenuWatch()
{
    active = this;
    // Wine signals a popup menu only by the creation of its window; Windows
    // also by the popup's own event, for the same window.
    hook_ = SetWinEventHook(EVENT_SYSTEM_MENUPOPUPSTART, EVENT_OBJECT_CREATE, NULL, OnEvent, 0, 0,
                            WINEVENT_OUTOFCONTEXT);
}

MenuWatch::~MenuWatch()
{
    if (hook_)
        UnhookWinEvent(hook_);
    active = nullptr;
}

void CALLBACK MenuWatch::OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD,
                                 DWORD)
{
    if (!active || !hwnd)
        return;
    char cls[32] = "";
    if (event == EVENT_OBJECT_CREATE &&
        (object != OBJID_WINDOW || !GetClassNameA(hwnd, cls, sizeof cls) || strcmp(cls, "#32768")))
        return;
    if (event != EVENT_OBJECT_CREATE && event != EVENT_SYSTEM_MENUPOPUPSTART)
        return;
    if (!active->openings_.empty() && active->openings_.back().popup == hwnd)
        return;
    // A popup that is gone by now has no process or owner left to read: it
    // counts as a menu, but not as Swivlet's.
    MenuOpening o = {hwnd, 0, false};
    GetWindowThreadProcessId(hwnd, &o.pid);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner && GetClassNameA(owner, cls, sizeof cls))
        o.swivlet = strcmp(cls, "TaskWindow") == 0;
    active->openings_.push_back(o);
}

int MenuWatch::SwivletMenus(DWORD pid) const
{
    int n = 0;
    for (const MenuOpening &o : openings_)
        n += o.swivlet && (pid == 0 || o.pid == pid);
    return n;
}

int MenuWatch::AllMenus(DWORD pid) const
{
    int n = 0;
    for (const MenuOpening &o : openings_)
        n += pid == 0 || o.pid == pid;
    return n;
}

bool MenuWatch::WaitForSwivletMenus(int n, DWORD timeoutMs) const
{
    return WaitFor([&] { return SwivletMenus() >= n; }, timeoutMs);
}

MenuCloser::MenuCloser(DWORD pid) : pid_(pid)
{
    stop_ = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
}

MenuCloser::~MenuCloser()
{
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
}

DWORD WINAPI MenuCloser::Run(void *self)
{
    auto *closer = static_cast<MenuCloser *>(self);
    while (WaitForSingleObject(closer->stop_, 10) == WAIT_TIMEOUT)
        for (HWND m : VisiblePopupMenus(closer->pid_))
            PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

} // namespace swv
