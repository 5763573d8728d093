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
    EXPECT_EQ(0, SendMessageA(menu, WM_SYSCOLORCHANGE, 0, 0));
}

TEST_F(LibraryCtl3d, BindsWinesStubAndReleasesItOnUnload)
{
    ASSERT_TRUE(lib.Load());
    EXPECT_NE(nullptr, GetModuleHandleA("ctl3d32.dll"));
    EXPECT_EQ(0, SendMessageA(lib.MenuWindow(), WM_SYSCOLORCHANGE, 0, 0));
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

TEST_F(LibraryCtl3d, IgnoresACtl3dOutsideTheSystemFolder)
{
    ASSERT_TRUE(ctl3d.Remove());
    std::string beside = BinPath("ctl3d32.dll");
    ASSERT_TRUE(CopyFileA(FakeCtl3dPath().c_str(), beside.c_str(), FALSE));
    bool loaded = lib.Load();
    HMODULE bound = GetModuleHandleA("ctl3d32.dll");
    lib.Free();
    DeleteFileA(beside.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(nullptr, bound);
}
