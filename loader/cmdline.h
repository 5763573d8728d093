/* Platform-free: no windows.h, so that it can be tested and fuzzed alone. */
#pragma once

/* Command line handed to WinMain: the text after the program name and the
   blanks and tabs that follow it. */
const char *CommandTail(const char *cmdLine);
