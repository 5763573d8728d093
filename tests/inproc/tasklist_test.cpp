// The task list: which windows it holds, under which captions, in which order.
#include "libfixture.h"

#include <climits>
#include <cstdlib>
#include <cstring>

using namespace swv;

namespace
{

class TaskList : public LibraryTest
{
  protected:
    // Appends one window as the enumeration would, to the list of a library
    // loaded afresh (and so empty).
    void Append(HWND hwnd) { EXPECT_TRUE(lib.EnumWndProc(hwnd, 0)); }
    HWND Window(const char *title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                HWND owner = NULL, DWORD exStyle = 0)
    {
        return CreateTestWindow(title, 120, 120, 300, 200, style, owner, exStyle);
    }
};

} // namespace

TEST_F(TaskList, IsEmptyWhenLoaded)
{
    EXPECT_EQ(0, lib.GetTaskWindowNumber());
    EXPECT_EQ(nullptr, lib.GetWindowHandle(0));
}

TEST_F(TaskList, ListsTheTitleWithoutItsLeadingSpaces)
{
    HWND w = Window("   Word");
    Append(w);
    ASSERT_EQ(1, lib.GetTaskWindowNumber());
    EXPECT_EQ("Word", Title(0));
    EXPECT_EQ(w, lib.GetWindowHandle(0));
}

TEST_F(TaskList, CutsTitlesLongerThanFortyCharacters)
{
    std::string forty = "0123456789012345678901234567890123456789";
    Append(Window(forty.c_str()));
    Append(Window((forty + "X").c_str()));
    Append(Window(("   " + forty).c_str()));
    Append(Window(std::string(127, 'q').c_str()));
    ASSERT_EQ(4, lib.GetTaskWindowNumber());
    EXPECT_EQ(forty, Title(0));
    EXPECT_EQ(forty.substr(0, 36) + "...", Title(1));
    EXPECT_EQ(forty, Title(2));
    EXPECT_EQ(std::string(36, 'q') + "...", Title(3));
}

// In a double-byte ANSI code page the exports' caption, counted in bytes,
// is cut on a character boundary: never a lone lead byte before "...",
// the last of a range (0x9F, 0xFC) included, and a title of more than 127
// bytes is no exception. CTest runs this test again in code page 932
// (SWV_EXPECT_ACP says so).
TEST_F(TaskList, AnsiCaptionKeepsDoubleByteCharactersWhole)
{
    const char *expected = getenv("SWV_EXPECT_ACP");
    if (GetACP() != 932) {
        ASSERT_EQ(nullptr, expected)
            << "the ANSI code page is " << GetACP() << ", not " << expected;
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not the double-byte 932";
    }
    // U+65E5 is "\x93\xFA" and U+4E9C "\x88\x9F", whose second byte is a
    // lead byte too.
    // U+6A97 is "\x9F\x40" and U+9ADC "\xFC\x40"; 126 and 64 of them make
    // titles of 253 and 129 bytes.
    std::wstring nichi44(44, L'\u65E5'), a45(45, L'\u4E9C');
    Append(CreateTestWindow((L"a" + nichi44).c_str(), 120, 120, 300, 200));
    Append(CreateTestWindow(a45.c_str(), 120, 120, 300, 200));
    Append(CreateTestWindow((L"a" + std::wstring(126, L'\u6A97')).c_str(), 120, 120, 300, 200));
    Append(CreateTestWindow((L"a" + std::wstring(64, L'\u9ADC')).c_str(), 120, 120, 300, 200));
    ASSERT_EQ(4, lib.GetTaskWindowNumber());
    std::string nichi17, a18, last9F = "a", lastFC = "a";
    for (int i = 0; i < 17; i++) {
        nichi17 += "\x93\xFA";
        last9F += "\x9F\x40";
        lastFC += "\xFC\x40";
    }
    for (int i = 0; i < 18; i++)
        a18 += "\x88\x9F";
    EXPECT_EQ("a" + nichi17 + "...", Title(0));
    EXPECT_EQ(a18 + "...", Title(1));
    EXPECT_EQ(last9F + "...", Title(2));
    EXPECT_EQ(lastFC + "...", Title(3));
}

TEST_F(TaskList, SkipsEmptyAndBlankTitles)
{
    Append(Window(""));
    Append(Window("     "));
    // Only 127 characters of a title are read: these are all spaces.
    Append(Window((std::string(127, ' ') + "hidden word").c_str()));
    EXPECT_EQ(0, lib.GetTaskWindowNumber());
}

TEST_F(TaskList, SkipsInvisibleAndOwnedWindows)
{
    HWND owner = Window("Owner");
    Append(Window("Invisible", WS_OVERLAPPEDWINDOW));
    Append(Window("Owned dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, owner));
    Append(lib.MenuWindow());
    EXPECT_EQ(0, lib.GetTaskWindowNumber());
    Append(owner);
    EXPECT_EQ(1, lib.GetTaskWindowNumber());
}

TEST_F(TaskList, ListsMinimisedAndToolWindows)
{
    HWND minimised = Window("Minimised");
    ShowWindow(minimised, SW_MINIMIZE);
    HWND tool = Window("Tool", WS_OVERLAPPEDWINDOW | WS_VISIBLE, NULL, WS_EX_TOOLWINDOW);
    Append(minimised);
    Append(tool);
    ASSERT_EQ(2, lib.GetTaskWindowNumber());
    EXPECT_EQ(minimised, lib.GetWindowHandle(0));
    EXPECT_EQ(tool, lib.GetWindowHandle(1));
}

TEST_F(TaskList, QueriesOutsideTheListAnswerNothingAndReadNothing)
{
    Append(Window("Only"));
    ASSERT_EQ(1, lib.GetTaskWindowNumber());
    for (int index : {1, 2, 29, 30, 1000, -1, -30, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        char buf[41] = "untouched";
        EXPECT_FALSE(lib.GetWindowTitle(buf, index));
        EXPECT_STREQ("untouched", buf);
        EXPECT_EQ(nullptr, lib.GetWindowHandle(index));
    }
}

TEST_F(TaskList, RefreshListsWindowsTopmostFirst)
{
    HWND a = Window("Order A");
    HWND b = Window("Order B");
    HWND c = Window("Order C");
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FlushEvents();
    ShowMenu();
    std::vector<HWND> mine = {a, b, c};
    EXPECT_EQ(ZOrder(mine), Among(TaskHandles(), mine));
    EXPECT_EQ(std::vector<HWND>({b, c, a}), ZOrder(mine));
}

TEST_F(TaskList, RefreshStartsTheListAfresh)
{
    HWND a = Window("Fresh A");
    Append(a);
    Append(a);
    ShowMenu();
    EXPECT_EQ(1u, Among(TaskHandles(), {a}).size());
}

// A desktop program registered as the shell's window, as Explorer is: its
// window and the "WorkerW" window of its thread are never task windows, even
// titled, so Tile, Cascade and Push never move or raise them. A "WorkerW"
// window of another program is a task window like any.
TEST_F(TaskList, TheShellsDesktopIsNoTaskWindow)
{
    Process shell;
    ASSERT_TRUE(shell.Start("\"" + BinPath("shelldesk.exe") + "\""));
    HWND progman = WaitForWindow("Program Manager", shell.Pid());
    ASSERT_NE(nullptr, progman);
    ASSERT_TRUE(WaitFor([&] { return GetShellWindow() == progman; })) << "not the shell's window";
    HWND worker = WaitForWindow("Desktop worker", shell.Pid());
    ASSERT_NE(nullptr, worker);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "WorkerW";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND otherWorker =
        CreateWindowExA(0, "WorkerW", "Another program's worker", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        140, 140, 300, 200, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, otherWorker);
    HWND mine = Window("Beside the desktop");
    FlushEvents();

    Append(progman);
    Append(worker);
    EXPECT_EQ(0, lib.GetTaskWindowNumber());
    ShowMenu();
    EXPECT_EQ((std::vector<HWND>{mine, otherWorker}),
              Among(TaskHandles(), {progman, worker, otherWorker, mine}));

    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    lib.TileWindows();
    lib.CascadeWindows();
    FlushEvents();
    EXPECT_WINDOWPOS(progman, 0, 0, cx, cy);
    EXPECT_WINDOWPOS(worker, 0, cy - 1, 1, 1);
    DestroyWindow(otherWorker);
    UnregisterClassA("WorkerW", wc.hInstance);
}
