// Popup menus seen by the system's menu events, in every process: a menu that
// is up for a single frame is seen as surely as one that stays.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace swv
{

struct MenuOpening {
    HWND popup;
    DWORD pid;    // 0 when the popup had closed before it was seen
    bool swivlet; // owned by a hidden "TaskWindow": Swivlet's menu, not a system menu
};

// Records every popup menu that opens while it exists. Events arrive while
// the thread that made it pumps messages (FlushEvents, WaitFor).
class MenuWatch
{
  public:
    MenuWatch();
    ~MenuWatch();
    MenuWatch(const MenuWatch &) = delete;
    MenuWatch &operator=(const MenuWatch &) = delete;

    std::vector<MenuOpening> Openings() const { return openings_; }
    // Swivlet menus that opened in a process (0: in any).
    int SwivletMenus(DWORD pid = 0) const;
    int AllMenus(DWORD pid = 0) const;
    // Pumps until n Swivlet menus have opened, or timeoutMs passes.
    bool WaitForSwivletMenus(int n, DWORD timeoutMs = 5000) const;
    void Clear() { openings_.clear(); }

  private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);
    HWINEVENTHOOK hook_ = NULL;
    std::vector<MenuOpening> openings_;
};

// Closes every popup menu of a process once it shows, from a thread of its
// own, while it exists: a menu on the test's own thread would otherwise hold
// the test up until someone closed it.
class MenuCloser
{
  public:
    explicit MenuCloser(DWORD pid);
    ~MenuCloser();
    MenuCloser(const MenuCloser &) = delete;
    MenuCloser &operator=(const MenuCloser &) = delete;

  private:
    static DWORD WINAPI Run(void *self);
    DWORD pid_;
    HANDLE stop_, thread_;
};

} // namespace swv
