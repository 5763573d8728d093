#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- Windows ---------------------------------------------------------------

static const char kTestClass[] = "SwvTestWindow";
static const wchar_t kTestClassW[] = L"SwvTestWindowW"; // Unicode windows
static std::vector<HWND> created;

static void RegisterTestClass()
{
    static bool done;
    if (done)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = kTestClass;
    RegisterClassA(&wc);
    WNDCLASSW wcw = {};
    wcw.lpfnWndProc = DefWindowProcW;
    wcw.hInstance = wc.hInstance;
    wcw.hCursor = wc.hCursor;
    wcw.hbrBackground = wc.hbrBackground;
    wcw.lpszClassName = kTestClassW;
    RegisterClassW(&wcw);
    done = true;
}

HWND CreateTestWindow(const char *title, int x, int y, int cx, int cy, DWORD style, HWND owner,
                      DWORD exStyle)
{
    RegisterTestClass();
    HWND hwnd = CreateWindowExA(exStyle, kTestClass, title, style, x, y, cx, cy, owner, NULL,
                                GetModuleHandleA(NULL), NULL);
    if (hwnd)
        created.push_back(hwnd);
    return hwnd;
}

HWND CreateTestWindow(const wchar_t *title, int x, int y, int cx, int cy)
{
    RegisterTestClass();
    HWND hwnd = CreateWindowExW(0, kTestClassW, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, cx,
                                cy, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (hwnd)
        created.push_back(hwnd);
    return hwnd;
}

HWND CreateChildWindow(HWND parent, const char *title, int x, int y, int cx, int cy, DWORD style)
{
    RegisterTestClass();
    return CreateWindowExA(0, kTestClass, title, style | WS_CHILD, x, y, cx, cy, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

void DestroyTestWindows()
{
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        if (IsWindow(*it))
            DestroyWindow(*it);
    created.clear();
    FlushEvents();
}

std::string WindowText(HWND hwnd)
{
    char buf[512] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

::testing::AssertionResult WindowPosIs(HWND hwnd, int x, int y, int cx, int cy)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return ::testing::AssertionFailure() << "window " << hwnd << " does not exist";
    if (r.left == x && r.top == y && r.right - r.left == cx && r.bottom - r.top == cy)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "window \"" << WindowText(hwnd) << "\" is at (" << r.left << ", " << r.top
           << ") size " << r.right - r.left << " x " << r.bottom - r.top << ", expected (" << x
           << ", " << y << ") size " << cx << " x " << cy;
}

struct ZOrderWalk {
    const std::vector<HWND> *among;
    std::vector<HWND> order;
};

static BOOL CALLBACK ZOrderProc(HWND h, LPARAM lp)
{
    auto *walk = reinterpret_cast<ZOrderWalk *>(lp);
    for (HWND w : *walk->among)
        if (w == h)
            walk->order.push_back(h);
    return TRUE;
}

// EnumWindows takes the list in one go; a walk window by window can meet a
// window twice, or miss one, while other programs are reordering theirs.
std::vector<HWND> ZOrder(const std::vector<HWND> &among)
{
    ZOrderWalk walk = {&among, {}};
    EnumWindows(ZOrderProc, reinterpret_cast<LPARAM>(&walk));
    return walk.order;
}

::testing::AssertionResult ZOrderIs(const std::vector<HWND> &expected)
{
    std::vector<HWND> actual = ZOrder(expected);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    auto names = [](const std::vector<HWND> &v) {
        std::string s;
        for (HWND h : v)
            s += "\"" + WindowText(h) + "\" ";
        return s;
    };
    return ::testing::AssertionFailure()
           << "Z-order from the top is " << names(actual) << "; expected " << names(expected);
}

POINT CaptionPoint(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    int frame = (GetWindowLongA(hwnd, GWL_STYLE) & WS_THICKFRAME) ? GetSystemMetrics(SM_CYFRAME)
                                                                  : GetSystemMetrics(SM_CYDLGFRAME);
    POINT pt = {r.left + (r.right - r.left) / 3,
                r.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2};
    return pt;
}

struct EnumPopups {
    DWORD pid;
    std::vector<HWND> found;
};

static BOOL CALLBACK CollectPopup(HWND hwnd, LPARAM lParam)
{
    auto *ctx = reinterpret_cast<EnumPopups *>(lParam);
    char cls[32];
    if (!GetClassNameA(hwnd, cls, sizeof cls) || strcmp(cls, "#32768") != 0)
        return TRUE;
    if (!IsWindowVisible(hwnd))
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (ctx->pid == 0 || ctx->pid == pid)
        ctx->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisiblePopupMenus(DWORD pid)
{
    EnumPopups ctx = {pid, {}};
    EnumWindows(CollectPopup, (LPARAM)&ctx);
    return ctx.found;
}

// ---- Dialogs ---------------------------------------------------------------

HWND WaitForDialog(const char *caption, DWORD pid, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor(
        [&] {
            for (HWND h = FindWindowExA(NULL, NULL, "#32770", caption); h;
                 h = FindWindowExA(NULL, h, "#32770", caption)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if ((pid == 0 || owner == pid) && IsWindowVisible(h)) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::string MessageBoxText(HWND box)
{
    // The message text is the static control with identifier 0xFFFF.
    return WindowText(GetDlgItem(box, 0xFFFF));
}

int DefaultButton(HWND box)
{
    for (HWND h = GetWindow(box, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        char cls[16];
        if (GetClassNameA(h, cls, sizeof cls) && lstrcmpiA(cls, "Button") == 0 &&
            (GetWindowLongA(h, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(h);
    }
    return 0;
}

void ClickDialogButton(HWND box, int id)
{
    PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0);
}

// ---- Screenshots -----------------------------------------------------------

static std::string ShotDir()
{
    return BuildMachinePath(SWV_SHOT_DIR);
}

bool SaveScreenshot(const char *name)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, cx, cy, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = cx;
    bih.biHeight = cy;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    int stride = ((cx * 3) + 3) & ~3;
    std::vector<BYTE> bits((size_t)stride * cy);
    GetDIBits(mem, bmp, 0, cy, bits.data(), reinterpret_cast<BITMAPINFO *>(&bih), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);

    std::string dir = ShotDir();
    CreateDirectoryA(dir.c_str(), NULL);
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4d42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + (DWORD)bits.size();
    std::string data(reinterpret_cast<const char *>(&bfh), sizeof bfh);
    data.append(reinterpret_cast<const char *>(&bih), sizeof bih);
    data.append(reinterpret_cast<const char *>(bits.data()), bits.size());
    return WriteFileText(dir + "\\" + name + ".bmp", data);
}

} // namespace swv
