#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// Unbuffered, so that a test program that dies leaves what it had printed.
static const int unbuffered = (setvbuf(stdout, NULL, _IONBF, 0), setvbuf(stderr, NULL, _IONBF, 0));

// ---- Files and folders -----------------------------------------------------

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

std::string BinPath(const std::string &name)
{
    return BinDir() + "\\" + name;
}

// A path of the build machine: under Wine a Unix path, and the whole file
// system is drive Z:.
std::string BuildMachinePath(std::string path)
{
    if (!path.empty() && path[0] == '/') {
        for (char &c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

std::string FakeCtl3dPath()
{
    return BuildMachinePath(SWV_FAKE_CTL3D);
}

std::string MakeTempDir(const char *tag)
{
    static int counter;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    // Process ids come back: take the first name nobody has used.
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%sswv-%s-%lu-%lu-%d", base, tag, GetCurrentProcessId(),
                 GetTickCount(), ++counter);
        if (CreateDirectoryA(dir, NULL))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return dir;
    }
}

std::string ReadFileText(const std::string &path)
{
    std::string text;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

bool WriteFileText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

// ---- Messages and time -----------------------------------------------------

static thread_local bool quitSeen;

bool TakeQuitSeen()
{
    bool seen = quitSeen;
    quitSeen = false;
    return seen;
}

void FlushEvents(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quitSeen = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        LONG left = (LONG)(end - GetTickCount());
        if (ms == 0 || left <= 0)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, (DWORD)left, QS_ALLINPUT);
    }
}

bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FlushEvents();
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

::testing::AssertionResult Eventually(const std::function<::testing::AssertionResult()> &check,
                                      DWORD timeoutMs)
{
    ::testing::AssertionResult last = ::testing::AssertionFailure();
    WaitFor([&] { return bool(last = check()); }, timeoutMs);
    return last;
}

} // namespace swv
