// The library beside a loader of the other width, as on 64-bit Windows: the
// system hands this thread the presses of programs of the other width.
#include "libfixture.h"

#include "swivlet.h"

using namespace swv;

namespace
{

using PartnerWidth = LibraryTest;

// The mark a running loader of the other width holds.
HANDLE MarkPartner()
{
    return CreateEventA(NULL, TRUE, FALSE, SWV_PARTNER_MARK);
}

} // namespace

// Presses on another program's windows are those the system hands to this
// loader. A program of this width is one the library could not enter (an
// app container, a protected program): no partner could serve it, so this
// loader does.
TEST_F(PartnerWidth, PressesOnProgramsOfThisWidthAreServedHere)
{
    Process same;
    HWND theirs = StartWindowHelper(same, "Same width", "500,300,300,200");
    ASSERT_NE(nullptr, theirs);
    HWND mine = CreateTestWindow("This width", 100, 100, 300, 200);
    FlushEvents();

    HANDLE mark = MarkPartner();
    ASSERT_NE(nullptr, mark);
    PressCaption(theirs);
    EXPECT_EQ(1, TakeCallUps()) << "left to a partner that cannot serve it";
    PressCaption(mine);
    EXPECT_EQ(1, TakeCallUps());
    CloseHandle(mark);
}

// A program of the other width is the partner's while one runs, and served
// here when none does.
TEST_F(PartnerWidth, PressesOnProgramsOfTheOtherWidthAreLeftToARunningPartner)
{
    // A 64-bit build's tests have the 32-bit helper beside them.
    std::string narrowExe = BinDir() + "\\..\\partner32\\swvtestwin.exe";
    if (sizeof(void *) == 4 || GetFileAttributesA(narrowExe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no program of the other width to start here";
    Process narrow;
    HWND other = StartWindowHelper(narrow, "Other width", "200,300,300,200", narrowExe);
    ASSERT_NE(nullptr, other);
    FlushEvents();
    PressCaption(other);
    EXPECT_EQ(1, TakeCallUps()) << "no partner runs: this loader serves the press";
    HANDLE mark = MarkPartner();
    ASSERT_NE(nullptr, mark);
    PressCaption(other);
    EXPECT_EQ(0, TakeCallUps()) << "served beside a running partner";
    CloseHandle(mark);
}

// A loader that ends tells the others with its width: one of the other width
// ends with it, one of the same width does not; "exit" ends every one.
TEST_F(PartnerWidth, EndsWithALoaderOfTheOtherWidthOnly)
{
    UINT shutdown = RegisterWindowMessageA(SWV_SHUTDOWN_MSG);
    WPARAM own = sizeof(void *) * 8, other = own == 32 ? 64 : 32;
    TakeQuitSeen();
    SendMessageA(menu, shutdown, own, 0);
    FlushEvents();
    EXPECT_FALSE(TakeQuitSeen());
    SendMessageA(menu, shutdown, other, 0);
    FlushEvents();
    EXPECT_TRUE(TakeQuitSeen());
    SendMessageA(menu, shutdown, 0, 0);
    FlushEvents();
    EXPECT_TRUE(TakeQuitSeen());
}
