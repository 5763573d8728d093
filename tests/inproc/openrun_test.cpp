// The Open / Run dialog, driven from a second thread while Run holds this one.
#include "libfixture.h"

#include <dlgs.h>

#include <cstring>

using namespace swv;

namespace
{

// A dialog's file-type box, as its display texts.
std::vector<std::string> FileTypes(HWND dlg)
{
    std::vector<std::string> items;
    HWND combo = GetDlgItem(dlg, cmb1);
    int n = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char buf[512] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)buf);
        items.push_back(buf);
    }
    return items;
}

// Types into the name field and presses OK, as a user does.
void TypeAndConfirm(HWND dlg, const std::string &text)
{
    SendMessageA(GetDlgItem(dlg, edt1), WM_SETTEXT, 0, (LPARAM)text.c_str());
    ClickDialogButton(dlg, IDOK);
}

struct Driver {
    std::function<void()> body;
};

DWORD WINAPI DriveDialog(void *param)
{
    static_cast<Driver *>(param)->body();
    return 0;
}

class OpenRun : public LibraryTest
{
  protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        // The classes root of this process becomes a key the test fills.
        RegDeleteTreeA(HKEY_CURRENT_USER, kClasses);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kClasses, &classes));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, classes));
        record = MakeTempDir("argrec") + "\\args.txt";
        SetEnvironmentVariableA("SWV_ARGREC", record.c_str());
        target = CreateTestWindow("Run target", 500, 420, 300, 200);
        FlushEvents();
        lib.SetWindow(target);
        TakeQuitSeen();
    }

    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, NULL);
        RegCloseKey(classes);
        RegDeleteTreeA(HKEY_CURRENT_USER, kClasses);
        SetEnvironmentVariableA("SWV_ARGREC", NULL);
        LibraryTest::TearDown();
    }

    void Register(const char *ext, const char *type, const char *description)
    {
        if (ext)
            RegSetValueA(classes, ext, REG_SZ, type, (DWORD)strlen(type));
        if (description)
            RegSetValueA(classes, type, REG_SZ, description, (DWORD)strlen(description));
    }

    // Runs Run on this thread while drive() acts on a second one, given the
    // dialog. Fails the test when no dialog shows.
    void RunWith(const std::function<void(HWND dlg)> &drive)
    {
        Driver driver = {[&] {
            HWND dlg = WaitForDialog("Open / Run", GetCurrentProcessId(), 5000);
            if (!dlg) {
                ADD_FAILURE() << "no Open / Run dialog";
                return;
            }
            drive(dlg);
            // A dialog still open when the driver is done would hold Run.
            if (!WaitFor([dlg] { return !IsWindow(dlg); }, 5000)) {
                ADD_FAILURE() << "the dialog stayed open";
                ClickDialogButton(dlg, IDCANCEL);
            }
        }};
        HANDLE thread = CreateThread(NULL, 0, DriveDialog, &driver, 0, NULL);
        lib.Run();
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1)
            FlushEvents();
        CloseHandle(thread);
    }

    // The message box "Swivlet" shows; returns its text after pressing `button`.
    static std::string Answer(int button, HWND *owner = nullptr, int *defaultButton = nullptr)
    {
        HWND box = WaitForDialog("Swivlet", GetCurrentProcessId(), 5000);
        if (!box)
            return "<no message box>";
        std::string text = MessageBoxText(box);
        if (owner)
            *owner = GetWindow(box, GW_OWNER);
        if (defaultButton)
            *defaultButton = DefaultButton(box);
        ClickDialogButton(box, button);
        WaitFor([box] { return !IsWindow(box); }, 5000);
        return text;
    }

    std::string Recorded()
    {
        WaitFor([&] { return !ReadFileText(record).empty(); }, 5000);
        return ReadFileText(record);
    }

    // Lets the shut-down broadcast arrive; whether it ended this thread's loop.
    static bool QuitPosted()
    {
        return WaitFor([] { return TakeQuitSeen(); }, 1000);
    }

    std::string ArgrecPath() { return BinPath("argrec.exe"); }

    static constexpr const char *kClasses = "Software\\SwivletTest\\Classes";
    HKEY classes = NULL;
    std::string record;
    HWND target = NULL;
};

const char *const kFixedTypes[] = {"*.exe;*.com   Program Files", "*.bat   Batch Files"};

} // namespace

TEST_F(OpenRun, ShowsTheClassicDialogWithItsTitleAndTemplate)
{
    RunWith([](HWND dlg) {
        EXPECT_EQ("Open / Run", WindowText(dlg));
        EXPECT_EQ("File / Program:", WindowText(GetDlgItem(dlg, stc3)));
        EXPECT_EQ("List Files of &Type:", WindowText(GetDlgItem(dlg, stc2)));
        EXPECT_NE(nullptr, GetDlgItem(dlg, lst1));
        EXPECT_NE(nullptr, GetDlgItem(dlg, lst2));
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, FileTypesFollowTheRegistryAfterTheFixedOnes)
{
    Register(".txt", "txtfile", "Text Document");
    Register(".xyz", "xyzfile", "");
    RunWith([](HWND dlg) {
        std::vector<std::string> expected = {kFixedTypes[0], kFixedTypes[1],
                                             "*.txt   Text Document", "*.xyz   Document",
                                             "*.*    All Files"};
        EXPECT_EQ(expected, FileTypes(dlg));
        EXPECT_EQ(0, SendDlgItemMessageA(dlg, cmb1, CB_GETCURSEL, 0, 0));
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, WithoutRegisteredTypesOffersTheThreeFixedOnes)
{
    Register(NULL, "notanextension", "Not listed");
    RunWith([](HWND dlg) {
        std::vector<std::string> expected = {kFixedTypes[0], kFixedTypes[1], "*.*    All Files"};
        EXPECT_EQ(expected, FileTypes(dlg));
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, TwoExtensionsOfOneTypeGiveTwoEntries)
{
    Register(".aa1", "shared", "Shared Type");
    Register(".aa2", "shared", NULL);
    RunWith([](HWND dlg) {
        std::vector<std::string> types = FileTypes(dlg);
        ASSERT_EQ(5u, types.size());
        EXPECT_EQ("*.aa1   Shared Type", types[2]);
        EXPECT_EQ("*.aa2   Shared Type", types[3]);
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, TypesThatCannotBeReadAreLeftOut)
{
    Register(".nokey", "missingtype", NULL);
    Register(".long", "longtype", std::string(80, 'd').c_str());
    Register(".longname", std::string(80, 't').c_str(), "Fine description");
    Register(".fits", "fitstype", std::string(79, 'f').c_str());
    // An extension of 18 characters, dot included, is the longest that fits.
    Register(".abcdefghijklmnopq", "extfits", "Eighteen");
    Register(".abcdefghijklmnopqr", "exttoolong", "Nineteen");
    RunWith([](HWND dlg) {
        std::vector<std::string> expected = {
            kFixedTypes[0], kFixedTypes[1], "*.abcdefghijklmnopq   Eighteen",
            "*.fits   " + std::string(79, 'f'), "*.*    All Files"};
        EXPECT_EQ(expected, FileTypes(dlg));
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, TextStoredWithoutItsTerminatorIsReadWithinItsBuffer)
{
    // Eighty characters and no terminator, as a careless writer leaves them.
    const std::string raw(80, 'u');
    HKEY type;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(classes, "rawtype", &type));
    RegSetValueExA(type, NULL, 0, REG_SZ, (const BYTE *)raw.data(), (DWORD)raw.size());
    RegCloseKey(type);
    Register(".raw", "rawtype", NULL);
    Register(".z", "ztype", "After The Raw Text");
    RunWith([](HWND dlg) {
        std::vector<std::string> types = FileTypes(dlg);
        ASSERT_GE(types.size(), 4u);
        EXPECT_EQ("*.z   After The Raw Text", types[types.size() - 2]);
        for (const std::string &t : types)
            EXPECT_LE(t.size(), 6u + 3u + 79u) << t;
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, AKeyNameTooLongForTheBufferHidesOnlyItself)
{
    Register(("." + std::string(85, 'a')).c_str(), "longkeytype", "Long Key");
    Register(".b", "btype", "After The Long Key");
    RunWith([](HWND dlg) {
        std::vector<std::string> types = FileTypes(dlg);
        ASSERT_EQ(4u, types.size());
        EXPECT_EQ("*.b   After The Long Key", types[2]);
        ClickDialogButton(dlg, IDCANCEL);
    });
}

TEST_F(OpenRun, ABangInADescriptionSplitsItsEntry)
{
    Register(".bang", "bangtype", "Half!Other");
    RunWith([](HWND dlg) {
        std::vector<std::string> types = FileTypes(dlg);
        ASSERT_GE(types.size(), 4u);
        EXPECT_EQ("*.bang   Half", types[2]);
        EXPECT_EQ("*.bang", types[3]) << "every later item shifts by one";
        ClickDialogButton(dlg, IDCANCEL);
    });
}

// Types beyond the buffer are left out, the last pair that fits is whole, and
// the list still ends; five thousand of them still open the dialog.
TEST_F(OpenRun, TypesBeyondTheBufferAreLeftOutAndTheListStillEnds)
{
    for (int i = 0; i < 5000; i++) {
        char ext[16], type[16], description[40];
        snprintf(ext, sizeof ext, ".x%04d", i);
        snprintf(type, sizeof type, "xtype%04d", i);
        snprintf(description, sizeof description, "Registered type number %04d", i);
        Register(ext, type, description);
    }
    // Each pair takes 2 * 7 + 5 + 27 = 46 characters; 88 + 22 are fixed.
    const size_t fit = (1000 - 1 - 88 - 22) / 46;
    RunWith([&](HWND dlg) {
        std::vector<std::string> types = FileTypes(dlg);
        ASSERT_EQ(2 + fit + 1, types.size());
        EXPECT_EQ("*.x0000   Registered type number 0000", types[2]);
        char last[64];
        snprintf(last, sizeof last, "*.x%04d   Registered type number %04d", (int)fit - 1,
                 (int)fit - 1);
        EXPECT_EQ(last, types[2 + fit - 1]);
        EXPECT_EQ("*.*    All Files", types.back());
        ClickDialogButton(dlg, IDCANCEL);
    });
}

// The arguments are what follows the first space, further spaces included,
// as long as the name field takes them.
TEST_F(OpenRun, LaunchesTheChosenProgramWithItsArguments)
{
    std::string longArgs = "x " + std::string(150, 'y');
    RunWith([&](HWND dlg) { TypeAndConfirm(dlg, ArgrecPath() + " first  second"); });
    EXPECT_EQ("[first  second]\n", Recorded());
    DeleteFileA(record.c_str());
    RunWith([&](HWND dlg) { TypeAndConfirm(dlg, ArgrecPath() + " " + longArgs); });
    EXPECT_EQ("[" + longArgs + "]\n", Recorded());
}

TEST_F(OpenRun, ABareNameIsStartedByTheSecondAttempt)
{
    // Not in the dialog's directory, but on the search path.
    char path[4096];
    GetEnvironmentVariableA("PATH", path, sizeof path);
    std::string saved = path;
    SetEnvironmentVariableA("PATH", (BinDir() + ";" + saved).c_str());
    RunWith([&](HWND dlg) { TypeAndConfirm(dlg, "argrec.exe by name"); });
    SetEnvironmentVariableA("PATH", saved.c_str());
    EXPECT_EQ("[by name]\n", Recorded());
}

TEST_F(OpenRun, ANameThatCannotStartIsReported)
{
    std::string text;
    HWND owner = NULL;
    int defaultButton = -1;
    RunWith([&](HWND dlg) {
        TypeAndConfirm(dlg, "no-such-program.exe");
        text = Answer(IDOK, &owner, &defaultButton);
    });
    EXPECT_EQ("Invalid command or file!", text);
    EXPECT_EQ(target, owner);
    EXPECT_EQ(IDOK, defaultButton);
}

TEST_F(OpenRun, NextDialogOpensWhereTheLastChosenFileWasEvenWhenItFailed)
{
    std::string dir = MakeTempDir("initial");
    // The dialog makes its folder the current one; this program moves on, and
    // the dialog still opens where the file was chosen.
    std::string elsewhere = MakeTempDir("elsewhere");
    RunWith([&](HWND dlg) {
        TypeAndConfirm(dlg, dir + "\\missing.exe");
        Answer(IDOK);
    });
    std::string shown;
    SetCurrentDirectoryA(elsewhere.c_str());
    RunWith([&](HWND dlg) {
        shown = WindowText(GetDlgItem(dlg, stc1));
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(0, lstrcmpiA(dir.c_str(), shown.c_str())) << shown;
    // A cancelled dialog changes nothing.
    SetCurrentDirectoryA(elsewhere.c_str());
    RunWith([&](HWND dlg) {
        shown = WindowText(GetDlgItem(dlg, stc1));
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(0, lstrcmpiA(dir.c_str(), shown.c_str())) << shown;
    EXPECT_TRUE(ReadFileText(record).empty());
}

// A program some 200 characters deep in folders starts with its arguments,
// and the next dialog opens in its folder.
TEST_F(OpenRun, AProgramWithALongPathStartsAndItsFolderIsRemembered)
{
    std::string dir = MakeTempDir("deep");
    while (dir.size() < 180) {
        dir += "\\" + std::string(24, 'd');
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL)) << dir;
    }
    std::string program = dir + "\\argrec.exe";
    ASSERT_TRUE(CopyFileA(ArgrecPath().c_str(), program.c_str(), FALSE));
    ASSERT_GT(program.size(), 190u);
    RunWith([&](HWND dlg) { TypeAndConfirm(dlg, program + " deep args"); });
    EXPECT_EQ("[deep args]\n", Recorded());
    std::string shown;
    RunWith([&](HWND dlg) {
        shown = WindowText(GetDlgItem(dlg, stc1));
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(0, lstrcmpiA(dir.c_str(), shown.c_str())) << shown;
}

// Loading the library brings neither the file dialog's library nor the
// shell's into the program; the first Run binds both, and they stay bound,
// the same modules, for the next.
TEST_F(OpenRun, BindsTheDialogAndTheShellOnlyWhenRunNeedsThem)
{
    EXPECT_EQ(nullptr, GetModuleHandleA("comdlg32.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleA("shell32.dll"));
    RunWith([&](HWND dlg) { ClickDialogButton(dlg, IDCANCEL); });
    HMODULE comdlg = GetModuleHandleA("comdlg32.dll"), shell = GetModuleHandleA("shell32.dll");
    EXPECT_NE(nullptr, comdlg);
    EXPECT_NE(nullptr, shell);
    RunWith([&](HWND dlg) { ClickDialogButton(dlg, IDCANCEL); });
    EXPECT_EQ(comdlg, GetModuleHandleA("comdlg32.dll"));
    EXPECT_EQ(shell, GetModuleHandleA("shell32.dll"));
}

TEST_F(OpenRun, CancelLaunchesAndShowsNothing)
{
    RunWith([&](HWND dlg) {
        SendMessageA(GetDlgItem(dlg, edt1), WM_SETTEXT, 0, (LPARAM)ArgrecPath().c_str());
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(nullptr, WaitForDialog("Swivlet", GetCurrentProcessId(), 300));
    EXPECT_TRUE(ReadFileText(record).empty());
}

class ExitTyped : public OpenRun, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(ExitTyped, AsksAndOnOkEndsTheProgramThatStartedTheMenu)
{
    std::string text;
    HWND owner = NULL;
    RunWith([&](HWND dlg) {
        TypeAndConfirm(dlg, GetParam());
        text = Answer(IDOK, &owner);
    });
    EXPECT_EQ("Shut down Swivlet?", text);
    EXPECT_EQ(target, owner);
    EXPECT_TRUE(QuitPosted()) << "this program loaded the library as the loader does";
    EXPECT_TRUE(ReadFileText(record).empty());
}

INSTANTIATE_TEST_SUITE_P(Spellings, ExitTyped,
                         ::testing::Values("exit", "EXIT", "eXiT", "C:\\windows\\exit",
                                           "exit with arguments"));

TEST_F(OpenRun, CancelAtTheQuestionGoesOnToLaunch)
{
    std::string question, report;
    RunWith([&](HWND dlg) {
        TypeAndConfirm(dlg, "exit");
        question = Answer(IDCANCEL);
        report = Answer(IDOK);
    });
    EXPECT_EQ("Shut down Swivlet?", question);
    EXPECT_EQ("Invalid command or file!", report);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(OpenRun, ExitBatIsLaunchedLikeAnyOtherName)
{
    std::string text;
    RunWith([&](HWND dlg) {
        TypeAndConfirm(dlg, "exit.bat");
        text = Answer(IDOK);
    });
    EXPECT_EQ("Invalid command or file!", text);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(OpenRun, OnTheDesktopTheDialogBelongsToTheMenuWindow)
{
    HWND owner = (HWND)1;
    PressDesktop();
    TakeCallUps();
    RunWith([&](HWND dlg) {
        owner = GetWindow(dlg, GW_OWNER);
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(menu, owner);
    lib.SetWindow(target);
    RunWith([&](HWND dlg) {
        owner = GetWindow(dlg, GW_OWNER);
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(target, owner);
}

TEST_F(OpenRun, RunIsNotEnteredAgainWhileItsDialogIsOpen)
{
    int dialogs = -1;
    RunWith([&](HWND dlg) {
        // The menu, called up meanwhile, chooses Run again.
        SendMessageA(menu, WM_COMMAND, 5, 0);
        dialogs = 0;
        for (HWND h = FindWindowExA(NULL, NULL, "#32770", "Open / Run"); h;
             h = FindWindowExA(NULL, h, "#32770", "Open / Run"))
            dialogs++;
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(1, dialogs);
    // And Run works again afterwards.
    RunWith([&](HWND dlg) { ClickDialogButton(dlg, IDCANCEL); });
}

// OpenHook on a dialog of the test's own with the standard name field.
class OpenHookDirect : public LibraryTest
{
  protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        dlg = CreateTestWindow("Hooked dialog", 100, 100, 300, 200);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 250,
                               24, dlg, (HMENU)(INT_PTR)edt1, GetModuleHandleA(NULL), NULL);
        SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    }
    std::string Confirm(const std::string &typed, WPARAM wParam = MAKEWPARAM(IDOK, BN_CLICKED),
                        UINT msg = WM_COMMAND)
    {
        SetWindowTextA(edit, typed.c_str());
        EXPECT_EQ(0u, lib.OpenHook(dlg, msg, wParam, 0));
        return WindowText(edit);
    }
    HWND dlg = NULL, edit = NULL;
};

TEST_F(OpenHookDirect, OkLeavesOnlyTheNameBeforeTheFirstSpace)
{
    EXPECT_EQ("prog.exe", Confirm("prog.exe first  second"));
    EXPECT_EQ("", Confirm(" leading"));
    EXPECT_EQ("noargs.exe", Confirm("noargs.exe"));
    EXPECT_EQ("p", Confirm("p " + std::string(125, 'a')));
}

TEST_F(OpenHookDirect, OtherMessagesLeaveTheNameAlone)
{
    EXPECT_EQ("a b", Confirm("a b", MAKEWPARAM(IDCANCEL, BN_CLICKED)));
    EXPECT_EQ("a b", Confirm("a b", MAKEWPARAM(IDOK, EN_CHANGE)));
    EXPECT_EQ("a b", Confirm("a b", MAKEWPARAM(IDOK, BN_CLICKED), WM_NOTIFY));
    EXPECT_EQ("a b", Confirm("a b", 0, WM_INITDIALOG));
}

TEST_F(OpenHookDirect, ReadsAsMuchAsAPathHolds)
{
    std::string typed = std::string(300, 'n');
    EXPECT_EQ(std::string(MAX_PATH - 1, 'n'), Confirm(typed));
}
