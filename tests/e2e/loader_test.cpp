// The loader program, started as a user starts it.
#include "session.h"

#include <algorithm>
#include <cstdio>

using namespace swv;

TEST(Loader, RunsUntilQuitAndTakesItsMenuWindowAlong)
{
    Process loader;
    ASSERT_TRUE(loader.Start(LoaderCommand()));
    HWND menu = WaitForMenuWindow(loader);
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(loader.MainThread(), GetWindowThreadProcessId(menu, NULL));
    EXPECT_EQ("filedll", WindowText(menu));
    FlushEvents(kQuietMs);
    EXPECT_TRUE(loader.Running());
    EXPECT_FALSE(IsWindowVisible(menu));
    EXPECT_EQ(0u, QuitLoader(loader));
    EXPECT_FALSE(IsWindow(menu));
}

TEST(Loader, ExitsWithOneAndShowsNothingWithoutTheLibrary)
{
    std::string dir = MakeTempDir("nolib");
    std::string exe = dir + "\\swv32load.exe";
    ASSERT_TRUE(CopyFileA(BinPath("swv32load.exe").c_str(), exe.c_str(), FALSE));
    Process loader;
    ASSERT_TRUE(loader.Start("\"" + exe + "\"", dir.c_str()));
    // A message box would keep it from ending.
    EXPECT_EQ(1u, loader.Wait(10000));
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(Loader, SecondStartRunsASecondCopy)
{
    Process first, second;
    ASSERT_TRUE(first.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(first));
    ASSERT_TRUE(second.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(second));
    EXPECT_EQ(0u, QuitLoader(second));
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(0u, QuitLoader(first));
}

class ConfigureSwitch : public ::testing::TestWithParam<const char *>
{
  protected:
    ProfileScope profile;
};

TEST_P(ConfigureSwitch, OpensTheConfigurationInsteadOfTheMenu)
{
    Process loader;
    ASSERT_TRUE(loader.Start(LoaderCommand(GetParam())));
    HWND box = WaitForDialog("Swivlet", loader.Pid());
    ASSERT_NE(nullptr, box) << "no configuration question for \"" << GetParam() << "\"";
    EXPECT_TRUE(MenuWindowsOfProcess(loader.Pid()).empty());
    ClickDialogButton(box, IDNO);
    EXPECT_EQ(0u, loader.Wait(10000));
}

INSTANTIATE_TEST_SUITE_P(Spellings, ConfigureSwitch,
                         ::testing::Values(" /c", " /C", "   /c", " \t/C", "\t/c"));

class NotTheConfigureSwitch : public ::testing::TestWithParam<const char *>
{
};

TEST_P(NotTheConfigureSwitch, StartsTheMenu)
{
    Process loader;
    ASSERT_TRUE(loader.Start(LoaderCommand(GetParam())));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader)) << "no menu for \"" << GetParam() << "\"";
    EXPECT_EQ(nullptr, WaitForDialog("Swivlet", loader.Pid(), 300));
    EXPECT_EQ(0u, QuitLoader(loader));
}

INSTANTIATE_TEST_SUITE_P(Spellings, NotTheConfigureSwitch,
                         ::testing::Values(" /c ", " /c\t", " /cx", " -c", " c", " /c /c"));

TEST(LoaderCtl3d, RegistersSubclassesAndUnregistersItsInstance)
{
    SystemCtl3dScope ctl3d;
    ASSERT_TRUE(ctl3d.InstallFake());
    Process loader;
    ASSERT_TRUE(loader.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    EXPECT_EQ(0u, QuitLoader(loader));

    // One line per call: what, instance, process. Only the loader's calls.
    std::string log = ctl3d.Log();
    // The instance is read back as a pointer: its printed width is the build's.
    char what[3][32] = {};
    void *inst[3] = {};
    unsigned long pid[3] = {};
    int lines = sscanf(log.c_str(), "%31s %p %lu\n%31s %p %lu\n%31s %p %lu", what[0], &inst[0],
                       &pid[0], what[1], &inst[1], &pid[1], what[2], &inst[2], &pid[2]);
    ASSERT_EQ(9, lines) << log;
    EXPECT_STREQ("Register", what[0]);
    EXPECT_STREQ("AutoSubclass", what[1]);
    EXPECT_STREQ("Unregister", what[2]);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(loader.Pid(), pid[i]);
        EXPECT_EQ(inst[0], inst[i]);
    }
    EXPECT_NE(nullptr, inst[0]);
    EXPECT_EQ(3u, std::count(log.begin(), log.end(), '\n')) << log;
}

TEST(LoaderCtl3d, RunsNormallyWithoutIt)
{
    SystemCtl3dScope ctl3d;
    ASSERT_TRUE(ctl3d.Remove());
    Process loader;
    ASSERT_TRUE(loader.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    EXPECT_EQ(0u, QuitLoader(loader));
}
