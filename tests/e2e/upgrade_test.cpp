// An upgrade while programs hold the old build's library: the system finds
// the hook in each program by the library's path and the procedure's
// offset, so a program the old build reached must never run the new build's
// hook in its old copy. The second build here has its code at other offsets.
#include "menuwatch.h"
#include "session.h"

using namespace swv;

namespace
{

const char *const kWidth = sizeof(void *) == 8 ? "64" : "32";

std::string ShiftedBin()
{
    return BinDir() + "\\shifted";
}

std::string BuildFolder(const std::string &bin)
{
    std::string folder = ReadFileText(bin + "\\swv" + kWidth + ".build");
    return folder.substr(0, folder.find_first_of("\r\n"));
}

// The hook procedure's offset in a library file.
DWORD_PTR HookOffset(const std::string &lib)
{
    HMODULE m = LoadLibraryExA(lib.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    if (!m)
        return 0;
    DWORD_PTR offset = (DWORD_PTR)GetProcAddress(m, "FMMouseHook") - (DWORD_PTR)m;
    FreeLibrary(m);
    return offset;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The new build's files written over the old, as an installer does: a file
// in the way that a program holds, which can be renamed but not replaced,
// is moved aside first.
bool WriteOver(const std::string &from, const std::string &to)
{
    if (!DeleteFileA(to.c_str()) && Exists(to) && !MoveFileA(to.c_str(), (to + ".old").c_str()))
        return false;
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

class Upgrade : public DesktopSession
{
  protected:
    // No loader from the build folder: the test starts its own.
    void SetUp() override { CloseAllMenus(); }

    bool MenuShownOnce(HWND hwnd, DWORD pid)
    {
        MenuWatch watch;
        RightPressAndRelease(CaptionPoint(hwnd));
        bool shown = watch.WaitForSwivletMenus(1);
        FlushEvents(kQuietMs);
        CloseAllMenus();
        return shown && watch.SwivletMenus(pid) == 1 && watch.SwivletMenus() == 1;
    }
};

} // namespace

TEST_F(Upgrade, AProgramTheOldBuildReachedShowsOneMenuOfTheNewBuild)
{
    const std::string lib = std::string("\\swv") + kWidth + ".dll";
    const std::string oldFolder = BuildFolder(BinDir()), newFolder = BuildFolder(ShiftedBin());
    ASSERT_NE(HookOffset(BinDir() + "\\" + oldFolder + lib),
              HookOffset(ShiftedBin() + "\\" + newFolder + lib))
        << "the two builds have their hook at one offset";
    const std::string dir = MakeTempDir("upgrade");
    ASSERT_EQ(oldFolder, LayOutBuild(BinDir(), dir, kWidth));
    // Not a build's folder, though named like one (a build's has eight hex
    // digits): no loader may touch them.
    std::vector<std::string> keep;
    for (const char *tail : {"notes", "abc", "", "abcdef012"}) {
        keep.push_back(dir + "\\swv" + kWidth + "-" + tail);
        ASSERT_TRUE(CreateDirectoryA(keep.back().c_str(), NULL));
        ASSERT_TRUE(
            CopyFileA((dir + "\\" + oldFolder + lib).c_str(), (keep.back() + lib).c_str(), FALSE));
    }

    // The desktop's program would keep the old build for as long as the
    // test runs: a window of a helper program covers it.
    Process backdrop;
    ASSERT_NE(nullptr, StartWindowHelper(backdrop, "Backdrop", "0,0,1024,768"));
    ASSERT_TRUE(loader.Start("\"" + dir + "\\swv32load.exe\""));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    Process reached;
    HWND hwnd = StartWindowHelper(reached, "Reached", "300,200,360,240");
    ASSERT_NE(nullptr, hwnd);
    ASSERT_TRUE(MenuShownOnce(hwnd, reached.Pid())) << "the old build showed no menu";
    ASSERT_EQ(0u, QuitLoader(loader));

    ASSERT_TRUE(WriteOver(ShiftedBin() + "\\swv32load.exe", dir + "\\swv32load.exe"));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\" + newFolder).c_str(), NULL) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteOver(ShiftedBin() + "\\" + newFolder + lib, dir + "\\" + newFolder + lib));

    ASSERT_TRUE(loader.Start("\"" + dir + "\\swv32load.exe\""));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    EXPECT_TRUE(MenuShownOnce(hwnd, reached.Pid())) << "the reached program showed no menu";
    EXPECT_TRUE(reached.Running());
    EXPECT_NE(std::string::npos, ModulesLoadedFrom(dir + "\\" + newFolder + lib)
                                     .find(" (" + std::to_string(reached.Pid()) + "):"));
    EXPECT_TRUE(Exists(dir + "\\" + oldFolder + lib)) << "a held library was deleted";

    Process fresh;
    HWND later = StartWindowHelper(fresh, "Started later", "420,300,360,240");
    ASSERT_NE(nullptr, later);
    EXPECT_TRUE(MenuShownOnce(later, fresh.Pid())) << "a program started after the upgrade";

    // Once nothing holds the old build, the next start removes it, and only it.
    ASSERT_EQ(0u, QuitLoader(loader));
    reached.Kill();
    fresh.Kill();
    backdrop.Kill();
    ASSERT_TRUE(loader.Start("\"" + dir + "\\swv32load.exe\""));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    EXPECT_FALSE(Exists(dir + "\\" + oldFolder))
        << "the old build was left, held by" << ModulesLoadedFrom(dir + "\\" + oldFolder + lib);
    for (const std::string &k : keep)
        EXPECT_TRUE(Exists(k + lib)) << k;
    EXPECT_TRUE(Exists(dir + "\\" + newFolder + lib));
}
