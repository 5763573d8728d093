#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- Files and folders -------------------------------------------------

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

std::string BinPath(const std::string &name)
{
    return BinDir() + "\\" + name;
}

std::string BuildMachinePath(std::string path)
{
    if (!path.empty() && path[0] == '/') {
        for (char &c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

std::string FakeCtl3dPath()
{
    return BuildMachinePath(SWV_FAKE_CTL3D);
}

std::string MakeTempDir(const char *tag)
{
    static int counter;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    // Process ids come back: take the first name nobody has used.
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%sswv-%s-%lu-%lu-%d", base, tag, GetCurrentProcessId(),
                 GetTickCount(), ++counter);
        if (CreateDirectoryA(dir, NULL))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return dir;
    }
}

std::string ReadFileText(const std::string &path)
{
    std::string text;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

bool WriteFileText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

// ---- Messages and time -------------------------------------------------

static thread_local bool quitSeen;

bool TakeQuitSeen()
{
    bool seen = quitSeen;
    quitSeen = false;
    return seen;
}

void FlushEvents(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quitSeen = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        LONG left = (LONG)(end - GetTickCount());
        if (ms == 0 || left <= 0)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, (DWORD)left, QS_ALLINPUT);
    }
}

bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FlushEvents();
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

// ---- Windows -----------------------------------------------------------

static const char kTestClass[] = "SwvTestWindow";
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

std::vector<HWND> ZOrder(const std::vector<HWND> &among)
{
    std::vector<HWND> order;
    for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT))
        for (HWND w : among)
            if (w == h)
                order.push_back(h);
    return order;
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

// ---- The menu library --------------------------------------------------

template <typename F> static void Resolve(HMODULE module, F &fn, const char *name)
{
    fn = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

bool SwvLib::Load()
{
    module = LoadLibraryA("swv32.dll");
    if (!module)
        return false;
    Resolve(module, DllEntryPoint, "DllEntryPoint");
    Resolve(module, FMDeskWndProc, "FMDeskWndProc");
    Resolve(module, FMMouseHook, "FMMouseHook");
    Resolve(module, EnumWndProc, "EnumWndProc");
    Resolve(module, OpenHook, "OpenHook");
    Resolve(module, TileWindows, "TileWindows");
    Resolve(module, CascadeWindows, "CascadeWindows");
    Resolve(module, Push, "Push");
    Resolve(module, Run, "Run");
    Resolve(module, SetWindow, "SetWindow");
    Resolve(module, GetTaskWindowNumber, "GetTaskWindowNumber");
    Resolve(module, GetWindowTitle, "GetWindowTitle");
    Resolve(module, GetWindowHandle, "GetWindowHandle");
    return true;
}

void SwvLib::Free()
{
    if (module)
        FreeLibrary(module);
    module = NULL;
}

HWND SwvLib::MenuWindow() const
{
    return FindMenuWindow(GetCurrentThreadId());
}

static bool IsMenuWindow(HWND hwnd)
{
    char cls[32];
    return GetClassNameA(hwnd, cls, sizeof cls) && strcmp(cls, "TaskWindow") == 0;
}

static BOOL CALLBACK FindTaskWindow(HWND hwnd, LPARAM lParam)
{
    if (IsMenuWindow(hwnd)) {
        *reinterpret_cast<HWND *>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindMenuWindow(DWORD threadId)
{
    HWND found = NULL;
    EnumThreadWindows(threadId, FindTaskWindow, (LPARAM)&found);
    return found;
}

std::vector<HWND> MenuWindowsOfProcess(DWORD pid)
{
    std::vector<HWND> found;
    for (HWND h = FindWindowExA(NULL, NULL, "TaskWindow", NULL); h;
         h = FindWindowExA(NULL, h, "TaskWindow", NULL)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid)
            found.push_back(h);
    }
    return found;
}

std::vector<std::pair<WORD, std::string>> ModuleExports(HMODULE module)
{
    std::vector<std::pair<WORD, std::string>> result;
    auto *base = reinterpret_cast<const BYTE *>(module);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (!dir.VirtualAddress)
        return result;
    auto *exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
    auto *functions = reinterpret_cast<const DWORD *>(base + exp->AddressOfFunctions);
    auto *names = reinterpret_cast<const DWORD *>(base + exp->AddressOfNames);
    auto *ordinals = reinterpret_cast<const WORD *>(base + exp->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exp->NumberOfFunctions; i++) {
        if (!functions[i])
            continue;
        std::string name;
        for (DWORD j = 0; j < exp->NumberOfNames; j++)
            if (ordinals[j] == i)
                name = reinterpret_cast<const char *>(base + names[j]);
        result.emplace_back((WORD)(exp->Base + i), name);
    }
    return result;
}

// ---- Menus shown on this thread ----------------------------------------

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
        char text[256] = "";
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = sizeof text;
        GetMenuItemInfoA(menu, (UINT)i, TRUE, &mii);
        items.push_back({mii.wID, mii.fState, mii.fType, text});
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

// ---- Input -------------------------------------------------------------

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

void RightClickAt(int x, int y)
{
    AwaitSeparateClick();
    MoveCursorTo(x, y);
    MouseButton(x, y, MOUSEEVENTF_RIGHTDOWN);
    FlushEvents(30); // held as long as a user holds it
    MouseButton(x, y, MOUSEEVENTF_RIGHTUP);
}

void LeftClickAt(int x, int y)
{
    AwaitSeparateClick();
    MoveCursorTo(x, y);
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

// ---- Processes ---------------------------------------------------------

// Programs a test starts end with it, even when the test is killed.
static HANDLE TestJob()
{
    static HANDLE job;
    if (!job) {
        job = CreateJobObjectA(NULL, NULL);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return job;
}

bool Process::Start(const std::string &cmdLine, const char *cwd)
{
    Kill();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmdLine.begin(), cmdLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, cwd, &si,
                        &pi_))
        return false;
    AssignProcessToJobObject(TestJob(), pi_.hProcess);
    ResumeThread(pi_.hThread);
    return true;
}

bool Process::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::Idle() const
{
    return pi_.hProcess && WaitForInputIdle(pi_.hProcess, 0) == 0;
}

DWORD Process::Wait(DWORD ms)
{
    if (!pi_.hProcess)
        return (DWORD)-1;
    DWORD start = GetTickCount();
    // Keep this thread's windows answering while the other process works.
    while (MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
        FlushEvents();
        if (GetTickCount() - start >= ms)
            return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Process::Kill()
{
    if (!pi_.hProcess)
        return;
    if (Running()) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION();
}

HWND WaitForWindow(const char *title, DWORD pid, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor(
        [&] {
            for (HWND h = FindWindowExA(NULL, NULL, NULL, title); h;
                 h = FindWindowExA(NULL, h, NULL, title)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (pid == 0 || owner == pid) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// ---- Profile -----------------------------------------------------------

static const char *const kKeys[3] = {"PushTo", "DisableTitleMenu", "DisableDesktopMenu"};

ProfileScope::ProfileScope()
{
    for (int i = 0; i < 3; i++) {
        char buf[64];
        GetProfileStringA("Swivlet", kKeys[i], "\x01", buf, sizeof buf);
        had_[i] = strcmp(buf, "\x01") != 0;
        saved_[i] = buf;
        WriteProfileStringA("Swivlet", kKeys[i], NULL);
    }
}

ProfileScope::~ProfileScope()
{
    for (int i = 0; i < 3; i++)
        WriteProfileStringA("Swivlet", kKeys[i], had_[i] ? saved_[i].c_str() : NULL);
}

void ProfileScope::Set(const char *key, const char *value)
{
    WriteProfileStringA("Swivlet", key, value);
}

// ---- Dialogs -----------------------------------------------------------

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

// ---- The system's 3-D controls library ---------------------------------

SystemCtl3dScope::SystemCtl3dScope()
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    path_ = std::string(dir) + "\\ctl3d32.dll";
    saved_ = path_ + ".swvsave";
    // A run that ended early may have left Wine's own copy aside.
    if (GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DeleteFileA(path_.c_str());
        MoveFileA(saved_.c_str(), path_.c_str());
    }
    hadOriginal_ = CopyFileA(path_.c_str(), saved_.c_str(), FALSE) != 0;
    log_ = MakeTempDir("ctl3d") + "\\calls.log";
    SetEnvironmentVariableA("SWV_CTL3D_LOG", log_.c_str());
}

SystemCtl3dScope::~SystemCtl3dScope()
{
    SetEnvironmentVariableA("SWV_CTL3D_LOG", NULL);
    DeleteFileA(path_.c_str());
    if (hadOriginal_)
        MoveFileA(saved_.c_str(), path_.c_str());
}

bool SystemCtl3dScope::Remove()
{
    DeleteFileA(path_.c_str());
    return GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool SystemCtl3dScope::InstallFake()
{
    return CopyFileA(FakeCtl3dPath().c_str(), path_.c_str(), FALSE) != 0;
}

// ---- Screenshots -------------------------------------------------------

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
