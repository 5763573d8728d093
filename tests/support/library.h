// The menu library loaded in the test, and the system state it reads: its WIN.INI section, the
// 3-D controls library and the desktop window manager.
#pragma once

#include "base.h"
#include "swivlet.h"

namespace swv
{

// ---- The menu library ------------------------------------------------------

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

    bool Load(); // LoadLibraryA(SWV_LIBRARY) and every export that exists
    void Free(); // FreeLibrary, once
    HWND MenuWindow() const;
};

// The hidden "TaskWindow" of a thread, or null.
HWND FindMenuWindow(DWORD threadId);
// Hidden "TaskWindow"s of a process.
std::vector<HWND> MenuWindowsOfProcess(DWORD pid);
// Whether a menu library of either width is loaded in the program pid, from
// wherever it was loaded.
bool LibraryLoadedIn(DWORD pid);
// The same for the program of a window; the tests' helper programs answer
// for themselves, since under Wine a snapshot of a program of the other
// width lists none of its modules.
bool LibraryLoadedIn(HWND hwnd);
// " program (pid): module" for each module loaded from under a path (a
// folder or a file), in any program: what keeps its files from being deleted.
std::string ModulesLoadedFrom(const std::string &path);
// Copies the loader of the build folder `from`, and its build of the library
// in that build's own folder, into `to`, as a release lays them out; `width`
// is "32" or "64". The build's folder name, "" when anything failed.
std::string LayOutBuild(const std::string &from, const std::string &to, const char *width);

// Exports of a loaded module, by ordinal: name (or "" when exported by
// ordinal only).
std::vector<std::pair<WORD, std::string>> ModuleExports(HMODULE module);

// ---- Profile ---------------------------------------------------------------

// Where the settings are written for the user: %APPDATA%\Swivlet\Swivlet.ini.
std::string UserSettingsFile();

// Clears the "Swivlet" section of WIN.INI and the user's settings file for a
// test, and puts both back after.
class ProfileScope
{
  public:
    ProfileScope();
    ~ProfileScope();
    void Set(const char *key, const char *value);     // in WIN.INI
    void SetUser(const char *key, const char *value); // in the user's file
    std::string User(const char *key) const;          // "<absent>" when not there

  private:
    std::string saved_[3];
    bool had_[3] = {};
    std::string userFile_;
    bool hadUserFile_ = false;
};

// A folder in place of a profile file, as a file that cannot be written
// (the tests run as root, so a read-only file would still be written); the
// file is put back after.
class UnwritableFileScope
{
  public:
    explicit UnwritableFileScope(const std::string &path);
    ~UnwritableFileScope();
    bool Ok() const { return ok_; }

  private:
    std::string path_, saved_;
    bool ok_ = false;
};

// WIN.INI in the Windows folder.
std::string WinIniPath();

// ---- A system library replaced for one test ---------------------------------

// Sets Wine's own copy of a library in the system folder aside for one test,
// and puts it back afterwards, over whatever the test put there.
class SystemLibraryScope
{
  public:
    explicit SystemLibraryScope(const char *name);
    ~SystemLibraryScope();
    const std::string &Path() const { return path_; }
    SystemLibraryScope(const SystemLibraryScope &) = delete;
    SystemLibraryScope &operator=(const SystemLibraryScope &) = delete;

  protected:
    std::string path_, saved_;
    bool hadOriginal_ = false;
};

// ---- The system's 3-D controls library -------------------------------------

// Puts the test's choice of CTL3D32.DLL into the system folder for one test.
class SystemCtl3dScope : public SystemLibraryScope
{
  public:
    SystemCtl3dScope();
    ~SystemCtl3dScope();
    bool Remove();
    bool InstallFake(); // the recording stand-in; calls go to LogPath()
    const std::string &LogPath() const { return log_; }
    std::string Log() const { return ReadFileText(log_); }

  private:
    std::string log_;
};

// ---- The desktop window manager --------------------------------------------

// Puts the stand-in DWMAPI.DLL into the system folder for one test, for the
// programs the test starts from then on (a DLL override in the environment
// they inherit; this program and the desktop keep Wine's own). The stand-in answers for windows
// marked with MarkCloaked and MarkBorders.
class SystemDwmScope : public SystemLibraryScope
{
  public:
    SystemDwmScope();
    ~SystemDwmScope();
    bool Installed() const { return installed_; }

  private:
    std::string overrides_;
    bool hadOverrides_ = false, installed_ = false;
};

// Marks a window of any program as cloaked, for the stand-in.
bool MarkCloaked(HWND hwnd);
// Gives a window of any program borders that the stand-in reports as not
// drawn, in physical pixels.
bool MarkBorders(HWND hwnd, int left, int top, int right, int bottom);

} // namespace swv
