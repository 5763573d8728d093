// The release as a user gets it, in a fresh prefix: the installer run
// silently (install, upgrade over a running Swivlet whose library a program
// holds, uninstall) and the portable archive unpacked into a folder whose
// path has spaces. The unpacked archive is also what the installed files
// are held against.
#include "menuwatch.h"
#include "session.h"

#include "swivlet.h"
#include "version.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

using namespace swv;

namespace
{

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Swivlet";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCleanupValue[] = "Swivlet cleanup";
const bool kWin64 = sizeof(void *) == 8;

// Whether 32-bit programs run here, as the test environment found: some
// machines run 64-bit code only. There the 64-bit release runs without its
// 32-bit partner, and the installer is the same script with NSIS's 64-bit
// stub, since the one that ships is a 32-bit program.
bool Runs32()
{
    char value[4] = "";
    GetEnvironmentVariableA("SWV_RUNS_32BIT", value, sizeof value);
    return lstrcmpA(value, "0") != 0;
}
const bool kPartner = kWin64 && Runs32();

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UserFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Files under a folder, by their paths relative to it, sorted.
void ListFiles(const std::string &dir, const std::string &prefix, std::vector<std::string> &out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(dir + "\\" + name, prefix + name + "\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::vector<std::string> FilesUnder(const std::string &dir)
{
    std::vector<std::string> files;
    ListFiles(dir, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

// The one folder of a build of the library in dir, other than `other`: the
// prefix and eight hex digits. "" when there is none, or more than one.
std::string BuildFolderIn(const std::string &dir, const std::string &prefix,
                          const std::string &other = "")
{
    std::string found;
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\" + prefix + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    do {
        std::string name = fd.cFileName;
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() == prefix.size() + 8 &&
            name.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos &&
            name != other) {
            found = name;
            count++;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return count == 1 ? found : "";
}

// When a file was last written, in 100 ns steps; 0 when there is none.
ULONGLONG LastWritten(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}

// A top-level field of one of the release's winget manifests ("" for the
// version file), unquoted: "" when it has none or it is no quoted text.
std::string WingetField(const std::string &kind, const std::string &field)
{
    const std::string text = ReadFileText(BuildMachinePath(
        SWV_RELEASE_DIR "/winget/Swivlet.Swivlet" + (kind.empty() ? "" : "." + kind) + ".yaml"));
    const std::string start = "\n" + field + ": \"";
    size_t at = text.find(start);
    if (at == std::string::npos)
        return "";
    at += start.size();
    return text.substr(at, text.find('"', at) - at);
}

bool KeyExists(const char *key)
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// A value of a key under HKEY_CURRENT_USER: its text, or its number in
// decimal; "" when there is none.
std::string RegValue(const char *key, const char *value)
{
    char data[1024] = "";
    DWORD type = 0, size = sizeof data - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, data,
                     &size) != ERROR_SUCCESS)
        return "";
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD *>(data));
    return data;
}

struct Shortcut {
    std::string target, args;
};

::testing::AssertionResult ShortcutIs(const std::string &lnk, const std::string &target,
                                      const std::string &args)
{
    Shortcut found;
    bool loaded = false;
    IShellLinkA *link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void **)&link))) {
        IPersistFile *file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
            loaded = SUCCEEDED(file->Load(wide, STGM_READ));
            file->Release();
        }
        char buf[MAX_PATH] = "";
        if (loaded && SUCCEEDED(link->GetPath(buf, sizeof buf, NULL, SLGP_RAWPATH)))
            found.target = buf;
        buf[0] = '\0';
        if (loaded && SUCCEEDED(link->GetArguments(buf, sizeof buf)))
            found.args = buf;
        link->Release();
    }
    if (!loaded)
        return ::testing::AssertionFailure() << "no shortcut " << lnk;
    if (lstrcmpiA(found.target.c_str(), target.c_str()) != 0 || found.args != args)
        return ::testing::AssertionFailure() << lnk << " starts \"" << found.target << "\" "
                                             << found.args << ", not \"" << target << "\" " << args;
    return ::testing::AssertionSuccess();
}

bool Marked(const char *mark)
{
    HANDLE h = OpenEventA(SYNCHRONIZE, FALSE, mark);
    if (h)
        CloseHandle(h);
    return h != NULL;
}

// The installer's or uninstaller's exit code, once it has ended.
DWORD RunToEnd(const std::string &cmd)
{
    Process p;
    if (!p.Start(cmd))
        return (DWORD)-1;
    return p.Wait(60000);
}

class Release : public DesktopSession
{
  protected:
    // No loader of the build: each test starts the release's own.
    void SetUp() override
    {
        CoInitialize(NULL);
        CloseAllMenus();
        setup = BuildMachinePath(SWV_RELEASE_DIR "/Swivlet-" SWV_VERSION_STR "-setup.exe");
#ifdef SWV_SETUP_AMD64
        if (!Runs32())
            setup = BuildMachinePath(SWV_SETUP_AMD64);
#endif
        portable = BuildMachinePath(SWV_PORTABLE_DIR);
        ASSERT_TRUE(Exists(setup)) << setup << " is missing: run ./scripts/release.sh first";
        ASSERT_TRUE(Exists(portable + "\\swv32load.exe")) << "the archive is not unpacked";
        lib = BuildFolderIn(portable, kWin64 ? "swv64-" : "swv32-");
        lib32 = kWin64 ? BuildFolderIn(portable + "\\x86", "swv32-") : lib;
        ASSERT_NE("", lib) << "no build folder of the library in the archive";
        ASSERT_NE("", lib32) << "no build folder of the 32-bit library in the archive";
    }

    void TearDown() override
    {
        DesktopSession::TearDown();
        CoUninitialize();
    }

    // Starts a loader as a user does, and waits until it serves, with its
    // 32-bit partner on 64-bit Windows.
    void StartLoaderIn(Process &p, const std::string &dir)
    {
        ASSERT_TRUE(p.Start("\"" + dir + "\\swv32load.exe\""));
        ASSERT_NE(nullptr, WaitForMenuWindow(p)) << "the loader in " << dir << " did not start";
        if (kPartner) {
            ASSERT_TRUE(WaitFor([] { return Marked(SWV_HOST_MARK_32); }, 10000))
                << "the 32-bit loader did not start";
        }
    }

    // A helper program's window whose caption press showed Swivlet's menu in
    // that program, a program of each width that runs tried in turn; null
    // when none showed it. Under Wine, while both widths run, the programs
    // of only one of them are served (see e2e/partner_test.cpp).
    HWND ServedWindow()
    {
        std::vector<std::string> programs = {BinPath("swvtestwin.exe")};
        if (kPartner)
            programs.push_back(BinDir() + "\\..\\partner32\\swvtestwin.exe");
        for (const std::string &exe : programs) {
            helpers.push_back(std::make_unique<Process>());
            Process &p = *helpers.back();
            std::string title = "Served " + std::to_string(helpers.size());
            if (!p.Start("\"" + exe + "\" \"" + title + "@200,150,360,240\""))
                continue;
            HWND hwnd = WaitForWindow(title.c_str(), p.Pid());
            if (!hwnd)
                continue;
            // The pointer over it: the hook of its width, where one runs,
            // brings the library in.
            RECT r;
            GetWindowRect(hwnd, &r);
            for (int i = 0; i < 3; i++)
                MoveCursorTo(r.left + 40 + 15 * i, r.top + 60 + 10 * i);
            if (!WaitFor([&] { return LibraryLoadedIn(hwnd); }, 2000))
                continue;
            MenuWatch watch;
            RightPressAndRelease(CaptionPoint(hwnd));
            bool shown = watch.WaitForSwivletMenus(1, 3000) && watch.SwivletMenus(p.Pid()) == 1;
            CloseAllMenus();
            if (shown)
                return hwnd;
        }
        return NULL;
    }

    // The binaries of this width's release, as they are laid out: each
    // loader with its build's library in that build's folder.
    std::vector<std::string> Binaries() const
    {
        if (kWin64)
            return {lib + "\\swv64.dll", "swv32load.exe", "x86\\" + lib32 + "\\swv32.dll",
                    "x86\\swv32load.exe"};
        return {lib + "\\swv32.dll", "swv32load.exe"};
    }

    std::string setup, portable;
    std::string lib, lib32; // the build folders: this width's, and the 32-bit one in x86
};

} // namespace

TEST_F(Release, PortableArchiveRunsFromAFolderWithSpacesAndEndsWithExit)
{
    ASSERT_NE(std::string::npos, portable.find(' '));
    std::vector<std::string> expected = Binaries();
    expected.push_back("LICENSE.txt");
    expected.push_back("README.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FilesUnder(portable));

    std::string readme = ReadFileText(portable + "\\README.txt");
    EXPECT_EQ(0u, readme.find("Swivlet " SWV_VERSION_STR "\r\n")) << "no title with the version";
    size_t lines = std::count(readme.begin(), readme.end(), '\n');
    EXPECT_GT(lines, 50u);
    size_t crlf = 0;
    for (size_t at = readme.find("\r\n"); at != std::string::npos; at = readme.find("\r\n", at + 2))
        crlf++;
    EXPECT_EQ(lines, crlf) << "README.txt has lines that do not end in CR LF";

    StartLoaderIn(loader, portable);
    HWND served = ServedWindow();
    ASSERT_NE(nullptr, served) << "no caption press showed the menu";

    // "exit" typed into Run ends Swivlet, every width of it.
    ASSERT_TRUE(ExitThroughRunOn(served));
    EXPECT_EQ(0u, loader.Wait(10000)) << "the loader did not end";
    EXPECT_TRUE(
        WaitFor([] { return !Marked(SWV_HOST_MARK_32) && !Marked(SWV_HOST_MARK_64); }, 10000))
        << "a loader still runs";
}

TEST_F(Release, InstallerInstallsUpgradesOverARunningSwivletAndUninstalls)
{
    const std::string dir = UserFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Swivlet";
    const std::string menu = UserFolder(CSIDL_PROGRAMS), startup = UserFolder(CSIDL_STARTUP);
    const std::string exe = dir + "\\swv32load.exe";
    const std::vector<std::string> binaries = Binaries();
    ASSERT_FALSE(Exists(dir)) << "the prefix is not a fresh one";
    // Every program the hook reaches keeps the library until it ends (see
    // menulib/lifecycle.cpp), the desktop's too, which this test cannot end.
    // A window of a helper program covers the desktop, so that the programs
    // holding the library are the test's own.
    Process backdrop;
    ASSERT_NE(nullptr, StartWindowHelper(backdrop, "Backdrop", "0,0,1024,768"));
    // A user's setting, which neither the installer nor the uninstaller touches.
    profile.Set(SWV_KEY_PUSHTO, "1");

    {
        SCOPED_TRACE("silent install into the default folder");
        ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S"));
        std::vector<std::string> expected = binaries;
        expected.insert(expected.end(), {"LICENSE.txt", "README.txt", "uninstall.exe"});
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FilesUnder(dir));
        for (const char *name : {"README.txt", "LICENSE.txt"})
            EXPECT_EQ(ReadFileText(portable + "\\" + name), ReadFileText(dir + "\\" + name))
                << name;

        EXPECT_TRUE(ShortcutIs(menu + "\\Swivlet.lnk", exe, ""));
        EXPECT_TRUE(ShortcutIs(menu + "\\Configure Swivlet.lnk", exe, "/c"));
        EXPECT_TRUE(ShortcutIs(startup + "\\Swivlet.lnk", exe, ""));

        EXPECT_EQ("Swivlet", RegValue(kUninstallKey, "DisplayName"));
        EXPECT_EQ(SWV_VERSION_STR, RegValue(kUninstallKey, "DisplayVersion"));
        EXPECT_EQ("The Swivlet developers", RegValue(kUninstallKey, "Publisher"));
        // winget finds an installed Swivlet by the key's name, its manifest's
        // ProductCode, and takes name, publisher and version from the
        // package's own fields, since the manifest gives no uninstall entry.
        EXPECT_EQ(kUninstallKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                     WingetField("installer", "ProductCode"));
        EXPECT_EQ(RegValue(kUninstallKey, "DisplayName"),
                  WingetField("locale.en-US", "PackageName"));
        EXPECT_EQ(RegValue(kUninstallKey, "Publisher"), WingetField("locale.en-US", "Publisher"));
        EXPECT_EQ(RegValue(kUninstallKey, "DisplayVersion"), WingetField("", "PackageVersion"));
        EXPECT_EQ("\"" + dir + "\\uninstall.exe\"", RegValue(kUninstallKey, "UninstallString"));
        EXPECT_EQ("\"" + dir + "\\uninstall.exe\" /S",
                  RegValue(kUninstallKey, "QuietUninstallString"));
        DWORD bytes = 0;
        for (const std::string &name : expected)
            bytes += (DWORD)ReadFileText(dir + "\\" + name).size();
        std::string kib = RegValue(kUninstallKey, "EstimatedSize");
        EXPECT_NEAR(bytes / 1024.0, atof(kib.c_str()), 1.0) << "EstimatedSize " << kib;
    }
    for (const std::string &name : binaries)
        EXPECT_EQ(ReadFileText(portable + "\\" + name), ReadFileText(dir + "\\" + name)) << name;

    StartLoaderIn(loader, dir);
    ASSERT_NE(nullptr, ServedWindow()) << "the installed Swivlet showed no menu";
    // The programs it served keep the library too; only the holders below
    // are to hold it.
    helpers.clear();

    // Programs that hold each installed library, as programs the hook has
    // reached do; their files can be neither deleted nor written.
    std::vector<std::string> libraries = {dir + "\\" + binaries[0]};
    std::vector<std::string> holderExes = {BinPath("swvtestwin.exe")};
    if (kPartner) {
        libraries.push_back(dir + "\\" + binaries[2]);
        holderExes.push_back(BinDir() + "\\..\\partner32\\swvtestwin.exe");
    }
    std::vector<std::unique_ptr<Process>> holders;
    for (size_t i = 0; i < libraries.size(); i++) {
        holders.push_back(std::make_unique<Process>());
        std::string title = "Holder " + std::to_string(i);
        ASSERT_TRUE(holders.back()->Start("\"" + holderExes[i] + "\" --hold \"" + libraries[i] +
                                          "\" \"" + title + "@520," + std::to_string(60 + 250 * i) +
                                          ",300,200\""));
        ASSERT_NE(nullptr, WaitForWindow(title.c_str(), holders.back()->Pid()))
            << "no program holds " << libraries[i];
    }
    // Installed files get the time they are written: a new file has another.
    std::vector<ULONGLONG> before;
    for (const std::string &name : binaries)
        before.push_back(LastWritten(dir + "\\" + name));

    {
        SCOPED_TRACE("silent reinstall over the running Swivlet, its library held");
        ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S /D=" + dir));
        EXPECT_EQ(0u, loader.Wait(kQuietMs)) << "the running loader was not ended";
        EXPECT_FALSE(Marked(SWV_HOST_MARK_32) || Marked(SWV_HOST_MARK_64)) << "a loader still runs";
        // The loaders are written anew; a held library is the same build's,
        // the same bytes in the same folder, and stays.
        for (size_t i = 0; i < binaries.size(); i++) {
            const std::string &name = binaries[i];
            std::string path = dir + "\\" + name;
            bool held = std::find(libraries.begin(), libraries.end(), path) != libraries.end();
            EXPECT_EQ(held, before[i] == LastWritten(path)) << name;
            EXPECT_EQ(ReadFileText(portable + "\\" + name), ReadFileText(path)) << name;
        }
        for (auto &holder : holders)
            EXPECT_TRUE(holder->Running());
        EXPECT_EQ("", RegValue(kRunOnceKey, kCleanupValue)) << "nothing of another build is left";
        EXPECT_TRUE(ShortcutIs(startup + "\\Swivlet.lnk", exe, "")) << "the user's choice was lost";
    }

    Process upgraded;
#ifdef SWV_SHIFTED_SETUP
    {
        SCOPED_TRACE("silent upgrade to another build, its code at other offsets");
        Process running;
        StartLoaderIn(running, dir);
        std::string shifted = BuildMachinePath(SWV_SHIFTED_SETUP);
#ifdef SWV_SHIFTED_SETUP_AMD64
        if (!Runs32())
            shifted = BuildMachinePath(SWV_SHIFTED_SETUP_AMD64);
#endif
        ASSERT_EQ(0u, RunToEnd("\"" + shifted + "\" /S /D=" + dir));
        EXPECT_EQ(0u, running.Wait(kQuietMs)) << "the running loader was not ended";
        for (const std::string &held : libraries)
            EXPECT_TRUE(Exists(held)) << held << ", held, is gone";
        std::string next = BuildFolderIn(dir, kWin64 ? "swv64-" : "swv32-", lib);
        EXPECT_NE("", next) << "no folder of the new build";
        EXPECT_NE("", RegValue(kRunOnceKey, kCleanupValue))
            << "nothing removes the held build later";

        // The programs the old build reached: a press shows one menu, the
        // new build's, in at least one of them (under Wine, while both widths
        // run, only one width is served), and all of them live on.
        StartLoaderIn(upgraded, dir);
        int served = 0;
        for (size_t i = 0; i < holders.size(); i++) {
            HWND hwnd = WaitForWindow(("Holder " + std::to_string(i)).c_str(), holders[i]->Pid());
            ASSERT_NE(nullptr, hwnd);
            MenuWatch watch;
            RightPressAndRelease(CaptionPoint(hwnd));
            watch.WaitForSwivletMenus(1, 3000);
            FlushEvents(kQuietMs);
            CloseAllMenus();
            EXPECT_GE(1, watch.SwivletMenus()) << "Holder " << i;
            served += watch.SwivletMenus(holders[i]->Pid());
            EXPECT_TRUE(holders[i]->Running()) << "Holder " << i;
        }
        EXPECT_LE(1, served) << "no program the old build reached showed a menu";
    }
#else
    StartLoaderIn(upgraded, dir);
#endif
    EXPECT_NE(nullptr, ServedWindow()) << "the upgraded Swivlet showed no menu";
    helpers.clear();

    {
        SCOPED_TRACE("silent uninstall, as the Apps list runs it, while programs hold the library");
        std::string quiet = RegValue(kUninstallKey, "QuietUninstallString");
        // The uninstaller hands over to a copy of itself in the temporary
        // folder and ends at once; the copy does the work, the key last.
        ASSERT_EQ(0u, RunToEnd(quiet + " /D=" + dir));
        EXPECT_EQ(0u, upgraded.Wait(10000)) << "the running loader was not ended";
        EXPECT_TRUE(WaitFor([&] { return !KeyExists(kUninstallKey); }, 30000));
        for (const std::string &lnk :
             {menu + "\\Swivlet.lnk", menu + "\\Configure Swivlet.lnk", startup + "\\Swivlet.lnk"})
            EXPECT_FALSE(Exists(lnk)) << lnk;
        // Only held libraries are left, the first build's among them.
        for (const std::string &name : FilesUnder(dir))
            EXPECT_EQ(name.size() - 4, name.rfind(".dll")) << name << " is left";
        for (const std::string &held : libraries)
            EXPECT_TRUE(Exists(held)) << held << ", held, is gone";
    }
    {
        SCOPED_TRACE("the next sign-in, once the programs that held the library have ended");
        holders.clear();
        backdrop.Kill();
        // What the system does at sign-in: the value goes, its command runs.
        std::string cleanup = RegValue(kRunOnceKey, kCleanupValue);
        ASSERT_NE("", cleanup) << "nothing deletes the held copies";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &h));
        RegDeleteValueA(h, kCleanupValue);
        RegCloseKey(h);
        EXPECT_EQ(0u, RunToEnd(cleanup));
        EXPECT_FALSE(Exists(dir)) << "left behind: " << ::testing::PrintToString(FilesUnder(dir))
                                  << ", held by" << ModulesLoadedFrom(dir);
        char pushTo[8] = "";
        GetProfileStringA(SWV_SECTION, SWV_KEY_PUSHTO, "", pushTo, sizeof pushTo);
        EXPECT_STREQ("1", pushTo) << "the user's setting is gone";
    }
}
