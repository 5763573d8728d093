// Maps one library into this fresh program and writes what it cost:
//   mapcost.exe LIBRARY OUTFILE   writes "<microseconds> <bytes> <modules>"
// the time LoadLibraryA took, the working set and the modules it added.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

static DWORD Modules()
{
    HMODULE list[1024];
    DWORD bytes = 0;
    EnumProcessModules(GetCurrentProcess(), list, sizeof list, &bytes);
    return bytes / sizeof(HMODULE);
}

static SIZE_T WorkingSet()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.WorkingSetSize;
}

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    // What every GUI program has before a library comes in.
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    DWORD modules0 = Modules();
    SIZE_T set0 = WorkingSet();
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    HMODULE lib = LoadLibraryA(argv[1]);
    QueryPerformanceCounter(&t1);
    if (!lib)
        return 1;
    SIZE_T set1 = WorkingSet();
    DWORD modules1 = Modules();
    FILE *out = fopen(argv[2], "w");
    if (!out)
        return 1;
    fprintf(out, "%.1f %ld %ld\n", (double)(t1.QuadPart - t0.QuadPart) * 1e6 / f.QuadPart,
            (long)(set1 - set0), (long)(modules1 - modules0));
    fclose(out);
    DestroyWindow(probe);
    return 0;
}
