// A desktop built like Explorer's, over the whole screen: "Progman", in it
// "SHELLDLL_DefView", in that a list view ("SysListView32") holding one icon.
// A right-button release on the list view shows a menu of this program's
// own, as Explorer's does, whether or not the press came: on the icon one
// whose first entry is "Open", elsewhere one whose first entry is "Arrange".
//
// It registers "Progman" as the shell's window with SetShellWindow, as
// Explorer does, and keeps beside it a small visible "WorkerW" window with a
// title, as no task window should be listed even when it has one.
//
// It answers the registered message "SwvTest.Query": wParam 5 gives the
// icon's centre on the screen (x in the low word, y in the high word),
// wParam 6 the "WorkerW" window, wParam 7 how many right-button presses
// reached the list view.
#include <windows.h>
#include <commctrl.h>

static UINT uQuery;
static HWND hList, hWorker;
static WNDPROC pfnListProc;
static LRESULT nRightPresses;

static void ShowOwnMenu(HWND owner, POINT at)
{
    LVHITTESTINFO hti = {};
    hti.pt = at;
    bool onItem = ListView_HitTest(hList, &hti) >= 0;
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, onItem ? "Open" : "Arrange");
    AppendMenuA(menu, MF_STRING, 2, "Properties");
    ClientToScreen(hList, &at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, owner, NULL);
    DestroyMenu(menu);
}

// The list view's own press handling waits for the release itself and
// swallows it: the press is kept from it, so that the release alone, as
// the view receives it, opens the menu.
static LRESULT CALLBACK CountingListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_RBUTTONDOWN:
        nRightPresses++;
        return 0;
    case WM_RBUTTONUP:
        ShowOwnMenu(GetParent(hwnd), {(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return 0;
    }
    return CallWindowProcA(pfnListProc, hwnd, msg, wParam, lParam);
}

static LRESULT CALLBACK ProgmanProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == uQuery && uQuery && wParam == 5) {
        RECT r;
        ListView_GetItemRect(hList, 0, &r, LVIR_ICON);
        POINT c = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(hList, &c);
        return MAKELONG(c.x, c.y);
    }
    if (msg == uQuery && uQuery && wParam == 6)
        return (LRESULT)hWorker;
    if (msg == uQuery && uQuery && wParam == 7)
        return nRightPresses;
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void Register(const char *name, WNDPROC proc)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_DESKTOP + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    uQuery = RegisterWindowMessageA("SwvTest.Query");
    Register("Progman", ProgmanProc);
    Register("SHELLDLL_DefView", DefWindowProcA);
    Register("WorkerW", DefWindowProcA);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HWND progman = CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP, 0, 0,
                                   cx, cy, NULL, NULL, hInst, NULL);
    HWND defView = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, cx, cy,
                                   progman, NULL, hInst, NULL);
    hList = CreateWindowExA(0, WC_LISTVIEWA, "FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0,
                            cx, cy, defView, NULL, hInst, NULL);
    pfnListProc = (WNDPROC)SetWindowLongPtrA(hList, GWLP_WNDPROC, (LONG_PTR)CountingListProc);
    HIMAGELIST icons = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 1);
    ImageList_AddIcon(icons, LoadIconA(NULL, IDI_APPLICATION));
    ListView_SetImageList(hList, icons, LVSIL_NORMAL);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<char *>("Icon");
    ListView_InsertItem(hList, &item);
    // At the back, as the desktop is.
    SetWindowPos(progman, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    hWorker = CreateWindowExA(WS_EX_TOOLWINDOW, "WorkerW", "Desktop worker", WS_POPUP | WS_VISIBLE,
                              0, cy - 1, 1, 1, NULL, NULL, hInst, NULL);
    SetWindowPos(hWorker, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    typedef BOOL(WINAPI * SetShellWindowProc)(HWND);
    auto setShell = (SetShellWindowProc)(void *)GetProcAddress(GetModuleHandleA("user32.dll"),
                                                               "SetShellWindow");
    if (!setShell || !setShell(progman))
        return 2;

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
