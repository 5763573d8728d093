// Measures Swivlet against baselines taken in the same run and prints each
// figure as a ratio, the median of repeated trials, with the absolute
// numbers beside it. Runs under Wine or on Windows:
//
//   swvbench.exe [--trials N]
//
// It starts the loader and a helper program from its own folder. Nothing
// here asserts a time; the exit code is non-zero only when a measurement
// could not be made.
#include "testsupport.h"

#include "logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace swv;

namespace
{

int trials = 11;
bool failed;

double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)freq.QuadPart;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void Report(const char *what, double swivlet, double baseline, const char *unit, double scale,
            const char *aim)
{
    std::printf("%-26s %6.2fx   swivlet %10.2f %-8s baseline %10.2f %-8s (aim %s)\n", what,
                baseline > 0 ? swivlet / baseline : 0.0, swivlet * scale, unit, baseline * scale,
                unit, aim);
}

void Fail(const char *what)
{
    std::printf("%-26s could not be measured\n", what);
    failed = true;
}

// ---- Footprint -----------------------------------------------------------

std::string Imports(const std::string &path)
{
    HMODULE image = LoadLibraryExA(path.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    if (!image)
        return "?";
    auto *base = reinterpret_cast<const BYTE *>((ULONG_PTR)image & ~(ULONG_PTR)3);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::string names;
    if (dir.VirtualAddress)
        for (auto *d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress);
             d->Name; d++)
            names += std::string(names.empty() ? "" : " ") +
                     reinterpret_cast<const char *>(base + d->Name);
    FreeLibrary(image);
    return names;
}

void Footprint(const char *name, DWORD budget)
{
    std::string path = BinPath(name);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        Fail(name);
        return;
    }
    DWORD size = data.nFileSizeLow;
    std::printf("%-26s %6.2fx   %10lu bytes of a %lu KiB budget; imports %s\n", name,
                (double)size / budget, size, budget / 1024, Imports(path).c_str());
}

// ---- Call-up latency -----------------------------------------------------

struct Watch {
    double pressed;
    double shown;
    bool swivletOnly;
    volatile LONG stop;
};

// Records when the first popup menu of this process shows (only Swivlet's,
// if asked), and closes every popup it sees.
DWORD WINAPI WatchForMenu(void *param)
{
    auto *w = static_cast<Watch *>(param);
    while (!w->stop) {
        for (HWND m : VisiblePopupMenus(GetCurrentProcessId())) {
            char first[32] = "";
            GetMenuStringA((HMENU)SendMessageA(m, MN_GETHMENU, 0, 0), 0, first, sizeof first,
                           MF_BYPOSITION);
            bool ours = std::strcmp(first, "Push") == 0;
            if (!w->shown && (ours || !w->swivletOnly))
                w->shown = Now();
            PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        Sleep(0);
    }
    return 0;
}

struct Press {
    POINT pt;
    DWORD holdMs;
    Watch *watch;
};

// A user's right click: press, the button held, release. Sent from its own
// thread, so that the window's thread runs its message loop meanwhile, as a
// program's does while the user holds the button.
DWORD WINAPI PressAndRelease(void *param)
{
    auto *p = static_cast<Press *>(param);
    p->watch->pressed = Now();
    MouseButton(p->pt.x, p->pt.y, MOUSEEVENTF_RIGHTDOWN);
    Sleep(p->holdMs);
    MouseButton(p->pt.x, p->pt.y, MOUSEEVENTF_RIGHTUP);
    return 0;
}

// Seconds from the right press on the caption to the menu on the screen.
// With queued, this thread, which owns the window, sends the click itself
// and so pumps nothing while the button is held: it finds press and release
// waiting together, and the figure is the hold plus the work each menu
// takes once both are there.
double CallUpLatency(HWND window, bool swivletOnly, bool queued)
{
    POINT pt = CaptionPoint(window);
    MoveCursorTo(pt.x, pt.y);
    FlushEvents(250);
    Watch watch = {0, 0, swivletOnly, 0};
    HANDLE t = CreateThread(NULL, 0, WatchForMenu, &watch, 0, NULL);
    Press press = {pt, 60, &watch};
    if (queued) {
        PressAndRelease(&press);
    } else {
        HANDLE input = CreateThread(NULL, 0, PressAndRelease, &press, 0, NULL);
        while (MsgWaitForMultipleObjects(1, &input, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            FlushEvents();
        CloseHandle(input);
    }
    WaitFor([&] { return watch.shown != 0; }, 3000);
    FlushEvents(300);
    InterlockedExchange(&watch.stop, 1);
    while (MsgWaitForMultipleObjects(1, &t, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        FlushEvents();
    CloseHandle(t);
    FlushEvents(100);
    return watch.shown ? watch.shown - watch.pressed : -1;
}

// Each trial of one way of clicking, on the system menu and on Swivlet's,
// in turn.
void Latency()
{
    HWND window = CreateTestWindow("Latency probe", 100, 100, 420, 280);
    FlushEvents(300);
    std::vector<double> base[2], ours[2];
    for (int i = 0; i < trials; i++)
        for (int queued = 0; queued < 2; queued++) {
            double s = CallUpLatency(window, false, queued);
            if (s > 0)
                base[queued].push_back(s);
        }
    Process loader;
    HWND loaderMenu = NULL;
    if (loader.Start("\"" + BinPath("swv32load.exe") + "\""))
        WaitFor(
            [&] {
                auto w = MenuWindowsOfProcess(loader.Pid());
                loaderMenu = w.empty() ? NULL : w.front();
                return loaderMenu != NULL;
            },
            10000);
    if (loaderMenu) {
        CallUpLatency(window, true, false); // the first call-up brings the library in
        for (int i = 0; i < trials; i++)
            for (int queued = 0; queued < 2; queued++) {
                double s = CallUpLatency(window, true, queued);
                if (s > 0)
                    ours[queued].push_back(s);
            }
        PostThreadMessageA(loader.MainThread(), WM_QUIT, 0, 0);
        loader.Wait(10000);
    }
    DestroyWindow(window);
    if (base[0].empty() || ours[0].empty() || base[1].empty() || ours[1].empty()) {
        Fail("call-up latency");
        return;
    }
    Report("call-up latency", Median(ours[0]), Median(base[0]), "ms", 1e3, "<= 1.05x");
    Report("call-up, queued together", Median(ours[1]), Median(base[1]), "ms", 1e3, "<= 1.05x");
}

// ---- Hook fast path ------------------------------------------------------

__declspec(noinline) LRESULT CALLBACK PassThrough(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(NULL, code, wParam, lParam);
}

double PerCall(HOOKPROC proc, const MOUSEHOOKSTRUCT &data, int calls, UINT msg = WM_MOUSEMOVE)
{
    HOOKPROC volatile target = proc;
    double start = Now();
    for (int i = 0; i < calls; i++)
        target(HC_ACTION, msg, (LPARAM)&data);
    return (Now() - start) / calls;
}

void HookFastPath(const SwvLib &lib)
{
    MOUSEHOOKSTRUCT data = {};
    data.pt.x = 300;
    data.pt.y = 300;
    data.hwnd = GetDesktopWindow();
    data.wHitTestCode = HTCLIENT;
    const int calls = 100000;
    std::vector<double> base, ours;
    for (int i = 0; i < trials; i++) {
        base.push_back(PerCall(PassThrough, data, calls));
        ours.push_back(PerCall(lib.FMMouseHook, data, calls));
    }
    Report("hook fast path", Median(ours), Median(base), "ns/call", 1e9, "<= 1.10x");
}

// A right press in a window's client area: the one press besides the two
// call-ups that does more than compare, asking whether it is Explorer's
// desktop view.
void HookRightPress(const SwvLib &lib)
{
    HWND window = CreateTestWindow("Right press target", 100, 100, 300, 200);
    FlushEvents();
    MOUSEHOOKSTRUCT data = {};
    data.pt.x = 250;
    data.pt.y = 200;
    data.hwnd = window;
    data.wHitTestCode = HTCLIENT;
    const int calls = 20000;
    std::vector<double> base, ours;
    for (int i = 0; i < trials; i++) {
        base.push_back(PerCall(PassThrough, data, calls, WM_RBUTTONDOWN));
        ours.push_back(PerCall(lib.FMMouseHook, data, calls, WM_RBUTTONDOWN));
    }
    DestroyWindow(window);
    Report("hook right press", Median(ours), Median(base), "ns/call", 1e9, "<= 1.10x");
}

// ---- Mapping the library into a program ----------------------------------

// What mapping a library costs a fresh program, measured by mapcost.exe:
// microseconds, working-set bytes, modules; false when it could not run.
bool MapCost(const std::string &library, double out[3])
{
    std::string file = MakeTempDir("mapcost") + "\\cost.txt";
    Process p;
    if (!p.Start("\"" + BinPath("mapcost.exe") + "\" \"" + library + "\" \"" + file + "\"") ||
        p.Wait(20000) != 0)
        return false;
    std::string text = ReadFileText(file);
    return std::sscanf(text.c_str(), "%lf %lf %lf", &out[0], &out[1], &out[2]) == 3;
}

void Mapping()
{
    std::vector<double> ours[3], base[3];
    for (int i = 0; i < trials; i++) {
        double a[3], b[3];
        if (!MapCost(BinPath(SWV_LIBRARY), a) || !MapCost(BinPath("swvbaseline.dll"), b))
            continue;
        for (int k = 0; k < 3; k++) {
            ours[k].push_back(a[k]);
            base[k].push_back(b[k]);
        }
    }
    if (ours[0].empty()) {
        Fail("mapping into a program");
        return;
    }
    Report("mapping: load time", Median(ours[0]), Median(base[0]), "us", 1, "<= 1.5x");
    Report("mapping: working set", Median(ours[1]), Median(base[1]), "KiB", 1.0 / 1024, "<= 1.5x");
    std::printf("%-26s          swivlet %10.0f modules  baseline %10.0f modules\n",
                "mapping: modules added", Median(ours[2]), Median(base[2]));
}

// ---- Task list refresh ---------------------------------------------------

BOOL CALLBACK ReadTitle(HWND hwnd, LPARAM)
{
    char title[128];
    GetWindowTextA(hwnd, title, sizeof title);
    return TRUE;
}

// A refresh empties the list and enumerates the windows through EnumWndProc.
// A freshly loaded library has an empty list, so its first enumeration is
// a whole refresh.
void Refresh(int n)
{
    std::vector<HWND> windows;
    for (int i = 0; i < n; i++) {
        HWND w = CreateTestWindow(("Refresh " + std::to_string(i)).c_str(), 10, 10, 200, 120,
                                  WS_OVERLAPPEDWINDOW);
        ShowWindow(w, SW_SHOWMINNOACTIVE);
        windows.push_back(w);
    }
    FlushEvents(200);
    std::vector<double> base, ours;
    int listed = 0;
    for (int i = 0; i < trials; i++) {
        double start = Now();
        EnumWindows(ReadTitle, 0);
        base.push_back(Now() - start);
        SwvLib fresh;
        if (!fresh.Load())
            break;
        start = Now();
        EnumWindows(fresh.EnumWndProc, 0);
        ours.push_back(Now() - start);
        listed = fresh.GetTaskWindowNumber();
        fresh.Free();
    }
    char what[64];
    std::snprintf(what, sizeof what, "refresh, %d windows", n);
    if (ours.empty()) {
        Fail(what);
        return;
    }
    Report(what, Median(ours), Median(base), "us", 1e6, "<= 1.5x");
    std::printf("%-26s %10.3f us per window listed (%d listed), %.3f us per window seen\n", "",
                Median(ours) * 1e6 / std::max(listed, 1), listed, Median(base) * 1e6 / n);
    for (HWND w : windows)
        DestroyWindow(w);
    FlushEvents(100);
}

// ---- Tile of another program's windows ------------------------------------

void Scramble(const std::vector<HWND> &windows, int seed)
{
    HDWP hdwp = BeginDeferWindowPos((int)windows.size());
    for (size_t i = 0; i < windows.size(); i++)
        hdwp = DeferWindowPos(hdwp, windows[i], NULL, (int)(i * 7 + seed) % 300,
                              (int)(i * 11 + seed) % 200, 250, 170, SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(hdwp);
    FlushEvents(30);
}

void Tile(const SwvLib &lib)
{
    const int n = 30;
    Process helper;
    std::string cmd = "\"" + BinPath("swvtestwin.exe") + "\"";
    for (int i = 0; i < n; i++)
        cmd += " \"Tiled " + std::to_string(i) + "@" + std::to_string(20 + 5 * i) + ",20,250,170\"";
    std::vector<HWND> windows;
    if (helper.Start(cmd))
        for (int i = 0; i < n; i++) {
            HWND w = WaitForWindow(("Tiled " + std::to_string(i)).c_str(), helper.Pid());
            if (w)
                windows.push_back(w);
        }
    if ((int)windows.size() != n) {
        Fail("tile, 30 windows");
        return;
    }
    FlushEvents(300);
    // The list the menu builds when called up, as for the Tile command: a
    // caption press handed to the hook, as the system hands it, makes this
    // program's menu window and calls the menu up.
    MOUSEHOOKSTRUCT press = {};
    press.hwnd = windows[0];
    press.wHitTestCode = HTCAPTION;
    CaptureMenu([&] {
        lib.FMMouseHook(HC_ACTION, WM_NCRBUTTONDOWN, (LPARAM)&press);
        FlushEvents();
    });
    if (lib.GetTaskWindowNumber() < n) {
        Fail("tile, 30 windows: the call-up listed too few");
        return;
    }
    std::vector<HWND> list;
    for (int i = 0; i < lib.GetTaskWindowNumber(); i++)
        list.push_back(lib.GetWindowHandle(i));
    TileGrid g = MakeTileGrid((int)list.size(), GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICONSPACING));
    std::vector<double> base, ours;
    for (int i = 0; i < trials; i++) {
        Scramble(windows, i);
        double start = Now();
        HDWP hdwp = BeginDeferWindowPos((int)list.size());
        for (size_t k = 0; k < list.size(); k++) {
            Placement p = TileCell(&g, (int)k);
            hdwp = DeferWindowPos(hdwp, list[k], NULL, p.x, p.y, p.cx, p.cy,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
        }
        EndDeferWindowPos(hdwp);
        base.push_back(Now() - start);
        Scramble(windows, i + 1);
        start = Now();
        lib.TileWindows();
        ours.push_back(Now() - start);
    }
    Report("tile, 30 windows", Median(ours), Median(base), "ms", 1e3, "<= 1.2x");
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; i++)
        if (std::strcmp(argv[i], "--trials") == 0)
            trials = std::max(1, std::atoi(argv[i + 1]));
    std::printf("Swivlet benchmark: median of %d trials; ratios against baselines measured in "
                "this run\n\n",
                trials);
    Footprint(SWV_LIBRARY, 32 * 1024);
    Footprint("swv32load.exe", 24 * 1024);
    SwvLib lib;
    if (!lib.Load()) {
        Fail("loading " SWV_LIBRARY);
        return 1;
    }
    Mapping();
    HookFastPath(lib);
    HookRightPress(lib);
    Refresh(30);
    Refresh(300);
    Tile(lib);
    // This program loaded the library as any program may: it installed no
    // hook, so the baseline below runs without Swivlet.
    Latency();
    lib.Free();
    DestroyTestWindows();
    return failed ? 1 : 0;
}
