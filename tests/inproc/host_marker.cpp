// This test program loads the menu library the way the loader does: as the
// program that starts the menu, whose copy installs the mouse hook.
extern "C" __declspec(dllexport) const int SwivletHost = 1;
