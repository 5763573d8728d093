#include "testsupport.h"

#include "../programs/fakedwm.h"

#include <commdlg.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- The menu library ------------------------------------------------------

template <typename F> static void Resolve(HMODULE module, F &fn, const char *name)
{
    fn = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

bool SwvLib::Load()
{
    module = LoadLibraryA(SWV_LIBRARY);
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

bool LibraryLoadedIn(DWORD pid)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
    if (snap == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 me;
    me.dwSize = sizeof me;
    bool found = false;
    for (BOOL m = Module32First(snap, &me); m && !found; m = Module32Next(snap, &me))
        found =
            lstrcmpiA(me.szModule, "swv32.dll") == 0 || lstrcmpiA(me.szModule, "swv64.dll") == 0;
    CloseHandle(snap);
    return found;
}

bool LibraryLoadedIn(HWND hwnd)
{
    static const UINT query = RegisterWindowMessageA("SwvTest.Query");
    DWORD_PTR loaded = 0;
    if (SendMessageTimeoutA(hwnd, query, 1, 0, SMTO_ABORTIFHUNG, 2000, &loaded) && loaded == 1)
        return true;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid && LibraryLoadedIn(pid);
}

std::string ModulesLoadedFrom(const std::string &path)
{
    std::string found;
    HANDLE procs = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof pe;
    for (BOOL p = Process32First(procs, &pe); p; p = Process32Next(procs, &pe)) {
        HANDLE mods =
            CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pe.th32ProcessID);
        MODULEENTRY32 me;
        me.dwSize = sizeof me;
        for (BOOL m = Module32First(mods, &me); m; m = Module32Next(mods, &me))
            if (_strnicmp(me.szExePath, path.c_str(), path.size()) == 0)
                found += std::string(" ") + pe.szExeFile + " (" + std::to_string(pe.th32ProcessID) +
                         "): " + me.szExePath;
        CloseHandle(mods);
    }
    CloseHandle(procs);
    return found;
}

std::string LayOutBuild(const std::string &from, const std::string &to, const char *width)
{
    std::string folder = ReadFileText(from + "\\swv" + width + ".build");
    folder = folder.substr(0, folder.find_first_of("\r\n"));
    std::string lib = std::string("\\swv") + width + ".dll";
    CreateDirectoryA(to.c_str(), NULL);
    CreateDirectoryA((to + "\\" + folder).c_str(), NULL);
    if (folder.empty() ||
        !CopyFileA((from + "\\" + folder + lib).c_str(), (to + "\\" + folder + lib).c_str(),
                   FALSE) ||
        !CopyFileA((from + "\\swv32load.exe").c_str(), (to + "\\swv32load.exe").c_str(), FALSE))
        return "";
    return folder;
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

// ---- Profile ---------------------------------------------------------------

static const char *const kKeys[3] = {"PushTo", "DisableTitleMenu", "DisableDesktopMenu"};

std::string UserSettingsFile()
{
    char dir[MAX_PATH];
    DWORD len = GetEnvironmentVariableA("APPDATA", dir, sizeof dir);
    return len && len < sizeof dir ? std::string(dir) + "\\Swivlet\\Swivlet.ini" : "";
}

std::string WinIniPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\win.ini";
}

ProfileScope::ProfileScope() : userFile_(UserSettingsFile())
{
    for (int i = 0; i < 3; i++) {
        char buf[64];
        GetProfileStringA("Swivlet", kKeys[i], "\x01", buf, sizeof buf);
        had_[i] = strcmp(buf, "\x01") != 0;
        saved_[i] = buf;
        WriteProfileStringA("Swivlet", kKeys[i], NULL);
    }
    // Kept whole beside itself: a run that ended early may have left it.
    std::string saved = userFile_ + ".swvsave";
    if (GetFileAttributesA(saved.c_str()) != INVALID_FILE_ATTRIBUTES)
        MoveFileExA(saved.c_str(), userFile_.c_str(), MOVEFILE_REPLACE_EXISTING);
    hadUserFile_ = MoveFileA(userFile_.c_str(), saved.c_str()) != 0;
}

ProfileScope::~ProfileScope()
{
    for (int i = 0; i < 3; i++)
        WriteProfileStringA("Swivlet", kKeys[i], had_[i] ? saved_[i].c_str() : NULL);
    DeleteFileA(userFile_.c_str());
    if (hadUserFile_)
        MoveFileA((userFile_ + ".swvsave").c_str(), userFile_.c_str());
}

void ProfileScope::Set(const char *key, const char *value)
{
    WriteProfileStringA("Swivlet", key, value);
}

void ProfileScope::SetUser(const char *key, const char *value)
{
    CreateDirectoryA(userFile_.substr(0, userFile_.rfind('\\')).c_str(), NULL);
    WritePrivateProfileStringA("Swivlet", key, value, userFile_.c_str());
}

std::string ProfileScope::User(const char *key) const
{
    char buf[64];
    GetPrivateProfileStringA("Swivlet", key, "<absent>", buf, sizeof buf, userFile_.c_str());
    return buf;
}

UnwritableFileScope::UnwritableFileScope(const std::string &path)
    : path_(path), saved_(path + ".swvblocked")
{
    // A run that ended early may have left the folder and the file aside.
    if (GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        RemoveDirectoryA(path_.c_str());
        MoveFileA(saved_.c_str(), path_.c_str());
    }
    CreateDirectoryA(path_.substr(0, path_.rfind('\\')).c_str(), NULL);
    MoveFileA(path_.c_str(), saved_.c_str());
    ok_ = CreateDirectoryA(path_.c_str(), NULL) != 0;
}

UnwritableFileScope::~UnwritableFileScope()
{
    RemoveDirectoryA(path_.c_str());
    MoveFileA(saved_.c_str(), path_.c_str());
}

// ---- A system library replaced for one test ---------------------------------

SystemLibraryScope::SystemLibraryScope(const char *name)
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    path_ = std::string(dir) + "\\" + name;
    saved_ = path_ + ".swvsave";
    // A run that ended early may have left Wine's own copy aside.
    if (GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DeleteFileA(path_.c_str());
        MoveFileA(saved_.c_str(), path_.c_str());
    }
    // Never over what is set aside: if it could not go back (a program holds
    // the stand-in mapped), it is still the only copy of Wine's own.
    hadOriginal_ = CopyFileA(path_.c_str(), saved_.c_str(), TRUE) != 0 ||
                   GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SystemLibraryScope::~SystemLibraryScope()
{
    DeleteFileA(path_.c_str());
    if (hadOriginal_)
        MoveFileA(saved_.c_str(), path_.c_str());
}

// ---- The system's 3-D controls library -------------------------------------

SystemCtl3dScope::SystemCtl3dScope() : SystemLibraryScope("ctl3d32.dll")
{
    log_ = MakeTempDir("ctl3d") + "\\calls.log";
    SetEnvironmentVariableA("SWV_CTL3D_LOG", log_.c_str());
}

SystemCtl3dScope::~SystemCtl3dScope()
{
    SetEnvironmentVariableA("SWV_CTL3D_LOG", NULL);
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

// ---- The desktop window manager --------------------------------------------

static const char kOverridesVar[] = "WINEDLLOVERRIDES";

SystemDwmScope::SystemDwmScope() : SystemLibraryScope("dwmapi.dll")
{
    installed_ = CopyFileA(BuildMachinePath(SWV_FAKE_DWM).c_str(), path_.c_str(), FALSE) != 0;
    // Wine prefers its own library to a file in the system folder unless told.
    char old[1024] = "";
    hadOverrides_ = GetEnvironmentVariableA(kOverridesVar, old, sizeof old) != 0;
    overrides_ = old;
    std::string mine = overrides_.empty() ? "dwmapi=n,b" : overrides_ + ";dwmapi=n,b";
    SetEnvironmentVariableA(kOverridesVar, mine.c_str());
}

SystemDwmScope::~SystemDwmScope()
{
    SetEnvironmentVariableA(kOverridesVar, hadOverrides_ ? overrides_.c_str() : NULL);
}

bool MarkCloaked(HWND hwnd)
{
    return SetPropA(hwnd, SWV_DWM_CLOAKED, (HANDLE)(ULONG_PTR)2) != 0; // DWM_CLOAKED_SHELL
}

bool MarkBorders(HWND hwnd, int left, int top, int right, int bottom)
{
    return SetPropA(hwnd, SWV_DWM_BORDERS,
                    (HANDLE)(ULONG_PTR)SWV_DWM_PACK_BORDERS(left, top, right, bottom)) != 0;
}

} // namespace swv
