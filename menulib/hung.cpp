#include "state.h"

/* Threads found answering or hung since the last reset. A command meets at
   most MAX_TASKS windows; a thread past the table is asked again. */
static DWORD AnsweringThreads[MAX_TASKS];
static DWORD HungThreads[MAX_TASKS];
static int nAnswering;
static int nHung;

void ResetHungCheck(void)
{
    nAnswering = 0;
    nHung = 0;
}

static BOOL InTable(const DWORD *pTable, int n, DWORD dwThread)
{
    for (int i = 0; i < n; i++)
        if (pTable[i] == dwThread)
            return TRUE;
    return FALSE;
}

static void Remember(DWORD *pTable, int *pn, DWORD dwThread)
{
    if (*pn < MAX_TASKS)
        pTable[(*pn)++] = dwThread;
}

BOOL IsWindowHung(HWND hWnd)
{
    DWORD dwThread = GetWindowThreadProcessId(hWnd, NULL);
    if (dwThread == 0 || dwThread == GetCurrentThreadId())
        return FALSE;
    if (InTable(AnsweringThreads, nAnswering, dwThread))
        return FALSE;
    if (InTable(HungThreads, nHung, dwThread))
        return TRUE;
    /* Sent messages are served while waiting: a thread that is itself
       waiting on this one answers. */
    DWORD_PTR dwResult;
    if (SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, HUNG_WAIT_MS, &dwResult)) {
        Remember(AnsweringThreads, &nAnswering, dwThread);
        return FALSE;
    }
    /* A window closed since it was listed is no hung one. */
    if (!IsWindow(hWnd))
        return FALSE;
    Remember(HungThreads, &nHung, dwThread);
    return TRUE;
}
