// Programs started by the tests, ended with them.
#pragma once

#include "base.h"

namespace swv
{

// ---- Processes -------------------------------------------------------------

class Process
{
  public:
    Process() = default;
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    ~Process() { Kill(); }

    bool Start(const std::string &cmdLine, const char *cwd = nullptr);
    bool Running() const;
    // Waiting for input with none pending, as after it has shown its windows.
    bool Idle() const;
    // Exit code, or STILL_ACTIVE when it did not end in time.
    DWORD Wait(DWORD ms);
    void Kill();
    DWORD Pid() const { return pi_.dwProcessId; }
    DWORD MainThread() const { return pi_.dwThreadId; }

  private:
    PROCESS_INFORMATION pi_ = {};
};

// Top-level window of a process with that title, waiting up to timeoutMs.
HWND WaitForWindow(const char *title, DWORD pid = 0, DWORD timeoutMs = 10000);

// Starts the window helper (or `exe`, a copy of it) in `p` with one window
// titled `title` at `place` ("x,y,cx,cy"): that window once shown, or NULL.
HWND StartWindowHelper(Process &p, const std::string &title, const std::string &place,
                       const std::string &exe = "");

} // namespace swv
