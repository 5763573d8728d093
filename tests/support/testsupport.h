// Helpers shared by Swivlet's tests: real windows, real input, real processes.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace swv
{

// ---- Files and folders -------------------------------------------------

std::string BinDir(); // folder of the running test program
std::string BinPath(const std::string &name);
std::string FakeCtl3dPath(); // the recording stand-in for CTL3D32.DLL
// A path of the build machine: under Wine a Unix path, and the whole file
// system is drive Z:.
std::string BuildMachinePath(std::string path);
std::string MakeTempDir(const char *tag); // fresh, empty folder
std::string ReadFileText(const std::string &path);
bool WriteFileText(const std::string &path, const std::string &text);

// ---- Messages and time -------------------------------------------------

// Dispatches everything queued for this thread; with ms > 0 keeps doing so
// for that long.
void FlushEvents(DWORD ms = 0);

// Whether a quit message reached this thread's pumping since the last call.
bool TakeQuitSeen();

// Pumps messages until cond() holds or timeoutMs passes.
bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs = 5000);

// ---- Windows -----------------------------------------------------------

// A top-level (or owned) window of a registered class with DefWindowProcA,
// so that it has a real caption and answers hit tests like any program's.
HWND CreateTestWindow(const char *title, int x, int y, int cx, int cy,
                      DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND owner = NULL,
                      DWORD exStyle = 0);
HWND CreateChildWindow(HWND parent, const char *title, int x, int y, int cx, int cy, DWORD style);

// Destroys every window of this thread that the tests created.
void DestroyTestWindows();

std::string WindowText(HWND hwnd);
::testing::AssertionResult WindowPosIs(HWND hwnd, int x, int y, int cx, int cy);
#define EXPECT_WINDOWPOS(hwnd, x, y, cx, cy) EXPECT_TRUE(::swv::WindowPosIs(hwnd, x, y, cx, cy))

// The windows of `among`, in Z-order from the top, found by walking GW_HWNDNEXT.
std::vector<HWND> ZOrder(const std::vector<HWND> &among);
::testing::AssertionResult ZOrderIs(const std::vector<HWND> &expectedTopFirst);

// Screen point in the middle of a window's caption.
POINT CaptionPoint(HWND hwnd);

// Visible popup menus ("#32768") on the desktop, or of one process.
std::vector<HWND> VisiblePopupMenus(DWORD pid = 0);

// ---- The menu library --------------------------------------------------

struct SwvLib {
    HMODULE module = NULL;
    BOOL(WINAPI *DllEntryPoint)(HINSTANCE, DWORD, LPVOID) = nullptr;
    LRESULT(CALLBACK *FMDeskWndProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
    LRESULT(CALLBACK *FMMouseHook)(int, WPARAM, LPARAM) = nullptr;
    BOOL(CALLBACK *EnumWndProc)(HWND, LPARAM) = nullptr;
    UINT_PTR(CALLBACK *OpenHook)(HWND, UINT, WPARAM, LPARAM) = nullptr;
    void(WINAPI *TileWindows)(void) = nullptr;
    void(WINAPI *CascadeWindows)(void) = nullptr;
    void(WINAPI *Push)(void) = nullptr;
    void(WINAPI *Run)(void) = nullptr;
    void(WINAPI *SetWindow)(HWND) = nullptr;
    int(WINAPI *GetTaskWindowNumber)(void) = nullptr;
    BOOL(WINAPI *GetWindowTitle)(LPSTR, int) = nullptr;
    HWND(WINAPI *GetWindowHandle)(int) = nullptr;

    bool Load(); // LoadLibraryA("swv32.dll") and every export that exists
    void Free(); // FreeLibrary, once
    HWND MenuWindow() const;
};

// The hidden "TaskWindow" of a thread, or null.
HWND FindMenuWindow(DWORD threadId);
// Hidden "TaskWindow"s of a process.
std::vector<HWND> MenuWindowsOfProcess(DWORD pid);

// Exports of a loaded module, by ordinal: name (or "" when exported by
// ordinal only).
std::vector<std::pair<WORD, std::string>> ModuleExports(HMODULE module);

// ---- Menus shown on this thread ----------------------------------------

struct MenuItem {
    UINT id;
    UINT state; // MFS_* from GetMenuItemInfo
    UINT type;  // MFT_*
    std::string text;
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

// ---- Input -------------------------------------------------------------

// A user's separate presses at one place lie further apart than a
// double-click: returns once the double-click time has passed since the last
// input, which may have been a press there (in an earlier test, say).
void AwaitSeparateClick();
void MoveCursorTo(int x, int y);
void MouseButton(int x, int y, DWORD flags); // MOUSEEVENTF_RIGHTDOWN and so on
void RightClickAt(int x, int y);
void LeftClickAt(int x, int y);
void PressKey(WORD vk);

// ---- Processes ---------------------------------------------------------

class Process
{
  public:
    Process() = default;
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    ~Process() { Kill(); }

    bool Start(const std::string &cmdLine, const char *cwd = nullptr);
    bool Running() const;
    // Waiting for input with none pending, as after it has shown its windows.
    bool Idle() const;
    // Exit code, or STILL_ACTIVE when it did not end in time.
    DWORD Wait(DWORD ms);
    void Kill();
    DWORD Pid() const { return pi_.dwProcessId; }
    DWORD MainThread() const { return pi_.dwThreadId; }

  private:
    PROCESS_INFORMATION pi_ = {};
};

// Top-level window of a process with that title, waiting up to timeoutMs.
HWND WaitForWindow(const char *title, DWORD pid = 0, DWORD timeoutMs = 10000);

// ---- Profile -----------------------------------------------------------

// Sets the "Swivlet" section of WIN.INI for a test and puts it back after.
class ProfileScope
{
  public:
    ProfileScope();
    ~ProfileScope();
    void Set(const char *key, const char *value);

  private:
    std::string saved_[3];
    bool had_[3] = {};
};

// ---- Dialogs -----------------------------------------------------------

// A dialog box ("#32770") with that caption, of a process (0: any).
HWND WaitForDialog(const char *caption, DWORD pid = 0, DWORD timeoutMs = 10000);
// The text of a message box.
std::string MessageBoxText(HWND box);
// The identifier of a dialog's default push button, or 0.
int DefaultButton(HWND box);
// Clicks a button of a dialog, as a user would.
void ClickDialogButton(HWND box, int id);

// ---- The system's 3-D controls library ---------------------------------

// Puts the test's choice of CTL3D32.DLL into the system folder for one test,
// and Wine's own back afterwards.
class SystemCtl3dScope
{
  public:
    SystemCtl3dScope();
    ~SystemCtl3dScope();
    bool Remove();
    bool InstallFake(); // the recording stand-in; calls go to LogPath()
    const std::string &LogPath() const { return log_; }
    std::string Log() const { return ReadFileText(log_); }

  private:
    std::string path_, saved_, log_;
    bool hadOriginal_ = false;
};

// ---- Screenshots -------------------------------------------------------

// Saves the screen as <name>.bmp in the build's screenshot folder.
bool SaveScreenshot(const char *name);

} // namespace swv
