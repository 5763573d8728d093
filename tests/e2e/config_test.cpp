// "swv32load.exe /c": the four questions answered as a user answers them.
#include "menuwatch.h"
#include "session.h"

#include <cstring>
#include <functional>

using namespace swv;

namespace
{

struct Question {
    const char *caption;
    const char *text;
    int defaultButton;
};

const Question kQuestions[4] = {
    {"Swivlet", "Swivlet is already running, do you want to configure Swivlet?", IDYES},
    {"Swivlet Configure", "Do you use a program that creates its own desktop window?", IDNO},
    {"Swivlet Configure", "Enable Swivlet Menu on title bar right click?", IDYES},
    {"Swivlet Configure", "Enable Swivlet Menu on desktop right click?", IDYES},
};

int profileChanges;
WNDPROC previousProc;

// Counts the profile-change broadcasts that name the "Swivlet" section.
LRESULT CALLBACK CountProfileChanges(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_WININICHANGE && l && strcmp((const char *)l, "Swivlet") == 0)
        profileChanges++;
    return CallWindowProcA(previousProc, h, m, w, l);
}

// An environment variable of this process, which the programs it starts
// inherit, set for one scope (nullptr takes it away) and put back after.
class EnvironmentScope
{
  public:
    EnvironmentScope(const char *name, const char *value) : name_(name)
    {
        char buf[MAX_PATH];
        DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
        had_ = n > 0 && n < sizeof buf;
        if (had_)
            saved_ = buf;
        SetEnvironmentVariableA(name, value);
    }
    ~EnvironmentScope() { SetEnvironmentVariableA(name_, had_ ? saved_.c_str() : nullptr); }

  private:
    const char *name_;
    std::string saved_;
    bool had_ = false;
};

// Runs its function when the scope ends, however the test left it.
struct AtScopeEnd {
    std::function<void()> run;
    ~AtScopeEnd() { run(); }
};

std::string IniValue(const std::string &file, const char *key)
{
    char buf[64];
    GetPrivateProfileStringA("Swivlet", key, "<absent>", buf, sizeof buf, file.c_str());
    return buf;
}

class Configure : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        listener = CreateTestWindow("Profile listener", 700, 500, 200, 120);
        previousProc =
            (WNDPROC)SetWindowLongPtrA(listener, GWLP_WNDPROC, (LONG_PTR)CountProfileChanges);
        profileChanges = 0;
    }
    void TearDown() override { DestroyTestWindows(); }

    // Runs the configuration and answers the questions in turn; checks each
    // question's text, caption, default button and owner on the way.
    DWORD Answer(const std::vector<int> &answers)
    {
        Process config;
        if (!config.Start(LoaderCommand(" /c")))
            return (DWORD)-1;
        for (size_t i = 0; i < answers.size(); i++) {
            SCOPED_TRACE(i + 1);
            HWND box = WaitForDialog(kQuestions[i].caption, config.Pid());
            if (!box) {
                ADD_FAILURE() << "question " << i + 1 << " did not come";
                return (DWORD)-1;
            }
            EXPECT_EQ(kQuestions[i].text, MessageBoxText(box));
            EXPECT_EQ(kQuestions[i].defaultButton, DefaultButton(box));
            EXPECT_NE(nullptr, GetDlgItem(box, IDYES));
            EXPECT_NE(nullptr, GetDlgItem(box, IDNO));
            EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
            ClickDialogButton(box, answers[i]);
            WaitFor([box] { return !IsWindow(box); }, 5000);
        }
        DWORD code = config.Wait(10000);
        // It has ended: whatever it sent or posted here is queued already.
        FlushEvents();
        return code;
    }

    ProfileScope profile;
    HWND listener = NULL;
};

} // namespace

TEST_F(Configure, NoToTheFirstQuestionChangesNothing)
{
    profile.SetUser("PushTo", "5");
    profile.SetUser("DisableTitleMenu", "1");
    EXPECT_EQ(0u, Answer({IDNO}));
    EXPECT_EQ("5", profile.User("PushTo"));
    EXPECT_EQ("1", profile.User("DisableTitleMenu"));
    EXPECT_EQ("<absent>", profile.User("DisableDesktopMenu"));
    EXPECT_EQ(0, profileChanges);
}

// The answers go to the user's own file, every key written: a "0" there
// counts over a "1" left in WIN.INI.
TEST_F(Configure, YesNoYesYesWritesAllThreeKeysAsZero)
{
    profile.Set("PushTo", "1");
    profile.Set("DisableTitleMenu", "1");
    profile.Set("DisableDesktopMenu", "1");
    EXPECT_EQ(0u, Answer({IDYES, IDNO, IDYES, IDYES}));
    EXPECT_EQ("0", profile.User("PushTo"));
    EXPECT_EQ("0", profile.User("DisableTitleMenu"));
    EXPECT_EQ("0", profile.User("DisableDesktopMenu"));
    EXPECT_EQ(1, profileChanges);
}

TEST_F(Configure, YesYesNoNoWritesAllThreeKeys)
{
    EXPECT_EQ(0u, Answer({IDYES, IDYES, IDNO, IDNO}));
    EXPECT_EQ("1", profile.User("PushTo"));
    EXPECT_EQ("1", profile.User("DisableTitleMenu"));
    EXPECT_EQ("1", profile.User("DisableDesktopMenu"));
    EXPECT_EQ(1, profileChanges);
}

// The running menu picks the answers up without a restart.
class ConfigureWhileRunning : public DesktopSession
{
  protected:
    // Answers the questions; how long the configuration then took to end, in
    // milliseconds, or -1 when it did not end. With `notice`, a closing
    // message is awaited, its text put there and the message closed.
    int Configure(const std::vector<int> &answers, std::string *notice = nullptr)
    {
        Process config;
        if (!config.Start(LoaderCommand(" /c")))
            return -1;
        const char *captions[] = {"Swivlet", "Swivlet Configure", "Swivlet Configure",
                                  "Swivlet Configure"};
        for (size_t i = 0; i < answers.size(); i++) {
            HWND box = WaitForDialog(captions[i], config.Pid());
            if (!box)
                return -1;
            ClickDialogButton(box, answers[i]);
            WaitFor([box] { return !IsWindow(box); }, 5000);
        }
        if (notice) {
            HWND box = WaitForDialog("Swivlet Configure", config.Pid());
            if (!box)
                return -1;
            *notice = MessageBoxText(box);
            ClickDialogButton(box, IDOK);
        }
        DWORD start = GetTickCount();
        if (config.Wait(10000) != 0)
            return -1;
        return (int)(GetTickCount() - start);
    }

    // Right-clicks a window's caption and tells whether a Swivlet menu
    // showed within timeoutMs.
    bool MenuOnOwnCaption(HWND hwnd, DWORD timeoutMs = 5000)
    {
        MenuWatch watch;
        RightPressAndRelease(CaptionPoint(hwnd));
        return watch.WaitForSwivletMenus(1, timeoutMs);
    }

    bool MenuOnDesktop()
    {
        MenuWatch watch;
        RightPressAndRelease({700, 420});
        bool shown = watch.WaitForSwivletMenus(1) && WaitForMenuOf(PidOf(GetDesktopWindow()));
        CloseAllMenus();
        return shown;
    }

    // Turns every call-up off before the first caption press on `served`,
    // a window of another program, and on again. With call-ups off that
    // program makes no menu window, which alone hears that the settings
    // changed: its next press must read them anew and make one. A press with
    // no Swivlet menu leaves the window's own system menu up, which is closed
    // before the next press.
    void OffThenOnAgain(HWND served)
    {
        ASSERT_LE(0, Configure({IDYES, IDNO, IDNO, IDNO}));
        EXPECT_FALSE(MenuOnOwnCaption(served, kQuietMs)) << "the menu kept the old settings";
        CloseAllMenus();
        ASSERT_TRUE(MenuWindowsOfProcess(PidOf(served)).empty())
            << "a menu window was made while call-ups were off";
        ASSERT_LE(0, Configure({IDYES, IDNO, IDYES, IDYES}));
        EXPECT_TRUE(MenuOnOwnCaption(served)) << "the menu did not come back";
        CloseAllMenus();
    }

    // Every menu here, Swivlet's or the window's own system menu, is closed
    // once up: on this thread it would hold the test up.
    MenuCloser closer{GetCurrentProcessId()};
};

// As for a standard user, who cannot write WIN.INI: the answer holds in the
// running menu and in a loader started afterwards.
TEST_F(ConfigureWhileRunning, TitleBarAnswerTakesEffectAtOnceAndStays)
{
    UnwritableFileScope winIni(WinIniPath());
    ASSERT_TRUE(winIni.Ok());
    HWND mine = CreateTestWindow("Configured window", 60, 60, 420, 260);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == mine; }));
    ASSERT_TRUE(MenuOnOwnCaption(mine));

    ASSERT_LE(0, Configure({IDYES, IDNO, IDNO, IDYES}));
    EXPECT_FALSE(MenuOnOwnCaption(mine, kQuietMs)) << "caption call-ups still work";
    EXPECT_TRUE(MenuOnDesktop()) << "desktop call-ups stopped too";

    ASSERT_EQ(0u, QuitLoader(loader));
    ASSERT_TRUE(loader.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    EXPECT_FALSE(MenuOnOwnCaption(mine, kQuietMs)) << "a new loader lost the answer";
    EXPECT_TRUE(MenuOnDesktop()) << "a new loader stopped desktop call-ups";

    ASSERT_LE(0, Configure({IDYES, IDNO, IDYES, IDYES}));
    EXPECT_TRUE(MenuOnOwnCaption(mine)) << "caption call-ups did not come back";
}

// Nowhere to write: the user is told, and the running menu keeps its settings.
TEST_F(ConfigureWhileRunning, NothingWritableIsReportedAndChangesNothing)
{
    UnwritableFileScope winIni(WinIniPath()), userFile(UserSettingsFile());
    ASSERT_TRUE(winIni.Ok() && userFile.Ok());
    HWND mine = CreateTestWindow("Configured window", 60, 60, 420, 260);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == mine; }));

    std::string notice;
    ASSERT_LE(0, Configure({IDYES, IDNO, IDNO, IDYES}, &notice));
    EXPECT_EQ("Swivlet could not save the settings in " + UserSettingsFile() +
                  ". They are unchanged.",
              notice);
    EXPECT_TRUE(MenuOnOwnCaption(mine)) << "caption call-ups stopped";
}

// A user whose profile has no Swivlet folder yet: "/c" makes it, and its
// "0" counts over WIN.INI's "1" in a program served by a loader started
// afterwards.
TEST_F(ConfigureWhileRunning, FirstAnswersOnAFreshProfileMakeTheFolderAndStay)
{
    ASSERT_EQ(0u, QuitLoader(loader));
    profile.Set("DisableTitleMenu", "1");
    const std::string appData = MakeTempDir("appdata"), folder = appData + "\\Swivlet",
                      file = folder + "\\Swivlet.ini";
    AtScopeEnd cleanup{[&] {
        DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
        RemoveDirectoryA(appData.c_str());
    }};
    EnvironmentScope fresh("APPDATA", appData.c_str());
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));

    ASSERT_LE(0, Configure({IDYES, IDYES, IDYES, IDNO}));
    EXPECT_EQ("1", IniValue(file, "PushTo"));
    EXPECT_EQ("0", IniValue(file, "DisableTitleMenu"));
    EXPECT_EQ("1", IniValue(file, "DisableDesktopMenu"));

    ASSERT_TRUE(loader.Start(LoaderCommand()));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    std::vector<HWND> later = StartHelper({"Started later@300,200,360,240"});
    ASSERT_EQ(1u, later.size());
    Hover(later[0]);
    EXPECT_TRUE(MenuOnOwnCaption(later[0])) << "the saved answer did not count";
    CloseAllMenus();
}

// Without APPDATA there is no settings file: WIN.INI alone counts, and "/c"
// says it cannot save and writes nowhere else. A "1" where a path made
// without it would lead (the root of the current drive, the current folder,
// the Windows folder) or in the user's file would turn call-ups off.
TEST_F(ConfigureWhileRunning, WithoutAppDataWinIniAloneCountsAndNothingIsSaved)
{
    ASSERT_EQ(0u, QuitLoader(loader));
    const std::string cwd = MakeTempDir("noappdata"), root = cwd.substr(0, 2) + "\\Swivlet";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(root.c_str())) << root;
    char windows[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryA(windows, sizeof windows));
    const std::string decoys[] = {root + "\\Swivlet.ini", cwd + "\\Swivlet\\Swivlet.ini",
                                  std::string(windows) + "\\Swivlet.ini"};
    char savedCwd[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(sizeof savedCwd, savedCwd));
    AtScopeEnd cleanup{[&] {
        SetCurrentDirectoryA(savedCwd);
        for (const std::string &d : decoys)
            DeleteFileA(d.c_str());
        RemoveDirectoryA(root.c_str());
        RemoveDirectoryA((cwd + "\\Swivlet").c_str());
        RemoveDirectoryA(cwd.c_str());
    }};
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((cwd + "\\Swivlet").c_str(), NULL));
    for (const std::string &d : decoys)
        ASSERT_TRUE(WritePrivateProfileStringA("Swivlet", "DisableTitleMenu", "1", d.c_str())) << d;
    profile.SetUser("DisableTitleMenu", "1");
    profile.Set("DisableTitleMenu", "0");

    ASSERT_TRUE(SetCurrentDirectoryA(cwd.c_str()));
    std::string notice;
    {
        EnvironmentScope none("APPDATA", nullptr);
        ASSERT_TRUE(loader.Start(LoaderCommand()));
        ASSERT_NE(nullptr, WaitForMenuWindow(loader));
        std::vector<HWND> w = StartHelper({"Without APPDATA@300,200,360,240"});
        ASSERT_EQ(1u, w.size());
        Hover(w[0]);
        EXPECT_TRUE(MenuOnOwnCaption(w[0])) << "a settings file counted";
        CloseAllMenus();
        EXPECT_LE(0, Configure({IDYES, IDYES, IDYES, IDYES}, &notice));
    }
    EXPECT_EQ("Swivlet could not save the settings. They are unchanged.", notice);

    char pushTo[16];
    GetProfileStringA("Swivlet", "PushTo", "<absent>", pushTo, sizeof pushTo);
    EXPECT_STREQ("<absent>", pushTo) << "written into WIN.INI";
    EXPECT_EQ("<absent>", profile.User("PushTo"));
    for (const std::string &d : decoys)
        EXPECT_EQ("<absent>", IniValue(d, "PushTo")) << d;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((cwd + "\\Swivlet.ini").c_str()));
}

// A program that has stopped answering gets the broadcast too late for it,
// but holds neither the configuration nor the running menu up.
TEST_F(ConfigureWhileRunning, AHungProgramDoesNotHoldTheBroadcastUp)
{
    HWND mine = CreateTestWindow("Configured window", 60, 60, 420, 260);
    std::vector<HWND> hung = StartHelper({"Hung program@600,420,200,150"});
    ASSERT_EQ(1u, hung.size());
    PostMessageA(hung[0], RegisterWindowMessageA("SwvTest.Query"), 4, 60000);
    DWORD_PTR r;
    ASSERT_TRUE(WaitFor([&] { return !SendMessageTimeoutA(hung[0], WM_NULL, 0, 0, 0, 50, &r); }));
    ASSERT_TRUE(MenuOnOwnCaption(mine));

    int took = Configure({IDYES, IDNO, IDNO, IDYES});
    ASSERT_LE(0, took) << "the configuration did not end";
    EXPECT_LT(took, 4000) << "waited on the hung program";
    EXPECT_FALSE(MenuOnOwnCaption(mine, kQuietMs)) << "the running menu kept the old settings";
}

TEST_F(Configure, BindsCtl3dAndReleasesItOnlyAfterTheLastQuestion)
{
    {
        SystemCtl3dScope ctl3d;
        ASSERT_TRUE(ctl3d.InstallFake());
        EXPECT_EQ(0u, Answer({IDYES, IDNO, IDYES, IDYES}));
        std::string log = ctl3d.Log();
        EXPECT_EQ(0u, log.find("Register ")) << log;
        EXPECT_NE(std::string::npos, log.find("\nAutoSubclass ")) << log;
        EXPECT_NE(std::string::npos, log.find("\nUnregister ")) << log;
    }
    {
        SystemCtl3dScope ctl3d;
        ASSERT_TRUE(ctl3d.InstallFake());
        EXPECT_EQ(0u, Answer({IDNO}));
        std::string log = ctl3d.Log();
        EXPECT_NE(std::string::npos, log.find("AutoSubclass ")) << log;
        EXPECT_EQ(std::string::npos, log.find("Unregister")) << "left registered on No: " << log;
    }
}

// A program of the loader's width, reached first while every call-up is off.
TEST_F(ConfigureWhileRunning, CallUpsTurnedBackOnReachAProgramWithoutAMenuWindow)
{
    UnwritableFileScope winIni(WinIniPath());
    ASSERT_TRUE(winIni.Ok());
    Process program;
    HWND w = StartWindowHelper(program, "Served later", "80,80,360,240");
    ASSERT_NE(nullptr, w);
    Hover(w);
    OffThenOnAgain(w);
}

// On 64-bit Windows the 64-bit "/c" configures the 32-bit menu as well.
TEST_F(ConfigureWhileRunning, AnswerReachesTheMenuOfTheOtherWidth)
{
    std::string partner = BinDir() + "\\..\\partner32\\";
    if (sizeof(void *) != 8 ||
        GetFileAttributesA((partner + "swv32load.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "needs the 64-bit build, with the 32-bit one beside it";
    UnwritableFileScope winIni(WinIniPath());
    ASSERT_TRUE(winIni.Ok());
    ASSERT_EQ(0u, QuitLoader(loader));
    ASSERT_TRUE(loader.Start("\"" + partner + "swv32load.exe\""));
    ASSERT_NE(nullptr, WaitForMenuWindow(loader));
    Process narrow;
    HWND w32 =
        StartWindowHelper(narrow, "Narrow program", "80,80,360,240", partner + "swvtestwin.exe");
    ASSERT_NE(nullptr, w32);
    Hover(w32);
    OffThenOnAgain(w32);
}
