// Files, folders, message pumping and bounded waits.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace swv
{

// ---- Files and folders -----------------------------------------------------

std::string BinDir(); // folder of the running test program
std::string BinPath(const std::string &name);
// A path of the build machine (a Unix one under Wine) as the tests see it.
std::string BuildMachinePath(std::string path);
std::string FakeCtl3dPath();              // the recording stand-in for CTL3D32.DLL
std::string MakeTempDir(const char *tag); // fresh, empty folder
std::string ReadFileText(const std::string &path);
bool WriteFileText(const std::string &path, const std::string &text);

// ---- Messages and time -----------------------------------------------------

// Dispatches everything queued for this thread; with ms > 0 keeps doing so
// for that long.
void FlushEvents(DWORD ms = 0);

// Whether a quit message reached this thread's pumping since the last call.
bool TakeQuitSeen();

// Pumps messages until cond() holds or timeoutMs passes.
bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs = 5000);

// Pumps until check() succeeds or timeoutMs passes; its last result. For
// what another program does at its own pace, such as placing its windows.
::testing::AssertionResult Eventually(const std::function<::testing::AssertionResult()> &check,
                                      DWORD timeoutMs = 3000);

// How long a test waits, once, to see that something does not happen, such
// as a second menu for one press.
constexpr DWORD kQuietMs = 1000;

} // namespace swv
