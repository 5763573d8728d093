// Both widths at once, as on 64-bit Windows: the 64-bit loader starts the
// 32-bit one from its "x86" folder, and every program is served by the
// library of its own width.
#include "menuwatch.h"
#include "session.h"

#include "swivlet.h"

using namespace swv;

namespace
{

bool Marked(const char *mark)
{
    HANDLE h = OpenEventA(SYNCHRONIZE, FALSE, mark);
    if (h)
        CloseHandle(h);
    return h != NULL;
}

std::string PartnerPath(const char *name)
{
    return BinDir() + "\\..\\partner32\\" + name;
}

class BothWidths : public DesktopSession
{
  protected:
    // The 64-bit loader and library in a folder, the 32-bit ones in its
    // "x86" folder, as they ship; the loader started from there.
    void SetUp() override
    {
        if (sizeof(void *) != 8 ||
            GetFileAttributesA(PartnerPath("swv32load.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "needs the 64-bit build, with the 32-bit one beside it";
        std::string dir = MakeTempDir("both");
        ASSERT_NE("", LayOutBuild(BinDir(), dir, "64"));
        ASSERT_NE("", LayOutBuild(PartnerPath(""), dir + "\\x86", "32"));
        CloseAllMenus();
        ASSERT_TRUE(loader.Start("\"" + dir + "\\swv32load.exe\""));
        ASSERT_NE(nullptr, WaitForMenuWindow(loader));
        ASSERT_TRUE(WaitFor([] { return Marked(SWV_HOST_MARK_32); }, 10000))
            << "the 32-bit loader did not start";
    }

    // The 32-bit loader must not outlive a test, whatever the test did.
    void TearDown() override
    {
        DesktopSession::TearDown();
        EXPECT_TRUE(WaitFor([] { return !Marked(SWV_HOST_MARK_32); }, 10000))
            << "the 32-bit loader outlived its partner";
    }

    // A helper program of one width, showing one window.
    HWND Start(Process &p, const std::string &exe, const char *title, int x, int y)
    {
        HWND h = StartWindowHelper(p, title,
                                   std::to_string(x) + "," + std::to_string(y) + ",360,240", exe);
        // Which width Wine serves is not known beforehand.
        if (h)
            BringLibraryInto(h, kQuietMs);
        return h;
    }

    // Right-clicks the caption; how many Swivlet menus opened, in that
    // program and anywhere.
    std::pair<int, int> MenusOnCaption(HWND hwnd)
    {
        MenuWatch watch;
        RightPressAndRelease(CaptionPoint(hwnd));
        watch.WaitForSwivletMenus(1);
        FlushEvents(kQuietMs);
        WaitForMenuOf(PidOf(hwnd), 1000);
        CloseAllMenus();
        return {watch.SwivletMenus(PidOf(hwnd)), watch.SwivletMenus()};
    }
};

} // namespace

// Wine stops a hook chain at a hook whose library it cannot load into the
// program, where Windows runs that hook on its loader's thread and goes on:
// there, while both loaders run, the programs of one width are served and
// those of the other are not. What holds everywhere: no press shows a menu
// twice or in another program, and "exit" from a menu ends both loaders.
TEST_F(BothWidths, NoPressShowsTwoMenusAndExitEndsBothLoaders)
{
    Process wide, narrow;
    HWND w64 = Start(wide, BinPath("swvtestwin.exe"), "Wide program", 80, 80);
    HWND w32 = Start(narrow, PartnerPath("swvtestwin.exe"), "Narrow program", 480, 320);
    ASSERT_NE(nullptr, w64);
    ASSERT_NE(nullptr, w32);
    std::pair<int, int> on64 = MenusOnCaption(w64), on32 = MenusOnCaption(w32);
    EXPECT_EQ(on64.first, on64.second) << "a menu in another program than the 64-bit one";
    EXPECT_EQ(on32.first, on32.second) << "a menu in another program than the 32-bit one";
    EXPECT_LE(on64.first, 1);
    EXPECT_LE(on32.first, 1);
    ASSERT_GE(on64.first + on32.first, 1) << "neither width was served";

    // "exit" typed into Run in a served program ends both loaders.
    ASSERT_TRUE(ExitThroughRunOn(on32.first ? w32 : w64));
    EXPECT_EQ(0u, loader.Wait(10000)) << "the 64-bit loader did not end";
    EXPECT_TRUE(WaitFor([] { return !Marked(SWV_HOST_MARK_32); }, 10000))
        << "the 32-bit loader did not end";
    EXPECT_TRUE(wide.Running() && narrow.Running());
}

TEST_F(BothWidths, AQuitMessageToTheLoaderEndsItsPartnerToo)
{
    EXPECT_EQ(0u, QuitLoader(loader));
    EXPECT_TRUE(WaitFor([] { return !Marked(SWV_HOST_MARK_32); }, 10000))
        << "the 32-bit loader did not end";
}
