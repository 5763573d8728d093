#include "testsupport.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swv
{

// ---- Processes -------------------------------------------------------------

// Programs a test starts end with it, even when the test is killed.
static HANDLE TestJob()
{
    static HANDLE job;
    if (!job) {
        job = CreateJobObjectA(NULL, NULL);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return job;
}

bool Process::Start(const std::string &cmdLine, const char *cwd)
{
    Kill();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmdLine.begin(), cmdLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, cwd, &si,
                        &pi_)) {
        // The failing program and the system's reason are the evidence.
        fprintf(stderr, "could not start %s: error %lu\n", cmdLine.c_str(), GetLastError());
        return false;
    }
    AssignProcessToJobObject(TestJob(), pi_.hProcess);
    ResumeThread(pi_.hThread);
    return true;
}

bool Process::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::Idle() const
{
    return pi_.hProcess && WaitForInputIdle(pi_.hProcess, 0) == 0;
}

DWORD Process::Wait(DWORD ms)
{
    if (!pi_.hProcess)
        return (DWORD)-1;
    DWORD start = GetTickCount();
    // Keep this thread's windows answering while the other process works.
    while (MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
        FlushEvents();
        if (GetTickCount() - start >= ms)
            return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Process::Kill()
{
    if (!pi_.hProcess)
        return;
    if (Running()) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION();
}

HWND WaitForWindow(const char *title, DWORD pid, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor(
        [&] {
            for (HWND h = FindWindowExA(NULL, NULL, NULL, title); h;
                 h = FindWindowExA(NULL, h, NULL, title)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (pid == 0 || owner == pid) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND StartWindowHelper(Process &p, const std::string &title, const std::string &place,
                       const std::string &exe)
{
    std::string program = exe.empty() ? BinPath("swvtestwin.exe") : exe;
    if (!p.Start("\"" + program + "\" \"" + title + "@" + place + "\""))
        return NULL;
    return WaitForWindow(title.c_str(), p.Pid());
}

} // namespace swv
