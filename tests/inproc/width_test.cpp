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

// Presses on another program's windows are left to a running partner, and
// served here when none runs; this program's own windows are always served.
TEST_F(PartnerWidth, LeavesOtherProgramsPressesToARunningPartner)
{
    Process other;
    HWND theirs = StartWindowHelper(other, "Other width", "500,300,300,200");
    ASSERT_NE(nullptr, theirs);
    HWND mine = CreateTestWindow("This width", 100, 100, 300, 200);
    FlushEvents();

    PressCaption(theirs);
    EXPECT_EQ(1, TakeCallUps()) << "no partner runs: this loader serves the press";
    HANDLE mark = MarkPartner();
    ASSERT_NE(nullptr, mark);
    PressCaption(theirs);
    EXPECT_EQ(0, TakeCallUps()) << "served beside a running partner";
    PressDesktop();
    EXPECT_EQ(0, TakeCallUps()) << "the desktop's program is another one";
    PressCaption(mine);
    EXPECT_EQ(1, TakeCallUps());
    CloseHandle(mark);
    PressCaption(theirs);
    EXPECT_EQ(1, TakeCallUps()) << "the partner has ended";
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
