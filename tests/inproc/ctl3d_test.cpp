// The optional 3-D controls library, as the menu library binds it.
#include "testsupport.h"

#include <algorithm>

using namespace swv;

namespace
{

class LibraryCtl3d : public ::testing::Test
{
  protected:
    void TearDown() override { lib.Free(); }
    SystemCtl3dScope ctl3d;
    SwvLib lib;
};

} // namespace

TEST_F(LibraryCtl3d, LoadsWithoutCtl3dInTheSystemFolder)
{
    ASSERT_TRUE(ctl3d.Remove());
    ASSERT_TRUE(lib.Load());
    HWND menu = lib.MenuWindow();
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(nullptr, GetModuleHandleA("ctl3d32.dll"));
}

TEST_F(LibraryCtl3d, BindsWinesStubAndReleasesItOnUnload)
{
    ASSERT_TRUE(lib.Load());
    EXPECT_NE(nullptr, GetModuleHandleA("ctl3d32.dll"));
    lib.Free();
    EXPECT_EQ(nullptr, GetModuleHandleA("ctl3d32.dll"));
}

TEST_F(LibraryCtl3d, ForwardsColourChangesAndRegistersNothing)
{
    ASSERT_TRUE(ctl3d.InstallFake());
    ASSERT_TRUE(lib.Load());
    ASSERT_NE(nullptr, GetModuleHandleA("ctl3d32.dll"));
    EXPECT_EQ(0, SendMessageA(lib.MenuWindow(), WM_SYSCOLORCHANGE, 0, 0));
    EXPECT_EQ(0, SendMessageA(lib.MenuWindow(), WM_SYSCOLORCHANGE, 0, 0));
    lib.Free();
    std::string log = ctl3d.Log();
    EXPECT_EQ(2u, std::count(log.begin(), log.end(), '\n')) << log;
    EXPECT_EQ(std::string::npos, log.find("Register")) << log;
    EXPECT_NE(std::string::npos, log.find("ColorChange")) << log;
}

// A copy beside the program is never bound, nor called on a colour change:
// not when the system folder has none, nor in place of the system folder's
// own.
TEST_F(LibraryCtl3d, BindsOnlyTheSystemFoldersCopy)
{
    std::string beside = BinPath("ctl3d32.dll");
    ASSERT_TRUE(CopyFileA(FakeCtl3dPath().c_str(), beside.c_str(), FALSE));
    char sysdir[MAX_PATH];
    GetSystemDirectoryA(sysdir, sizeof sysdir);
    std::string bound[2];
    for (int removed = 0; removed < 2; removed++) {
        if (removed) {
            ASSERT_TRUE(ctl3d.Remove());
        }
        if (!lib.Load())
            break;
        char path[MAX_PATH] = "";
        if (HMODULE h = GetModuleHandleA("ctl3d32.dll"))
            GetModuleFileNameA(h, path, sizeof path);
        bound[removed] = path;
        SendMessageA(lib.MenuWindow(), WM_SYSCOLORCHANGE, 0, 0);
        lib.Free();
    }
    DeleteFileA(beside.c_str());
    EXPECT_EQ(0, lstrcmpiA((std::string(sysdir) + "\\ctl3d32.dll").c_str(), bound[0].c_str()))
        << bound[0];
    EXPECT_EQ("", bound[1]);
    EXPECT_EQ("", ctl3d.Log()) << "the copy beside the program was called";
}
