#include "state.h"
#include "logic.h"

void RefreshTaskList(void)
{
    nTasks = 0;
    EnumWindows(EnumWndProc, 0);
}

/* Windows come topmost first; once the list is full the rest lie behind the
   30 kept, so the enumeration stops there. */
BOOL CALLBACK EnumWndProc(HWND hWnd, LPARAM lParam)
{
    (void)lParam;
    if (nTasks >= MAX_TASKS)
        return FALSE;
    if (!IsWindowVisible(hWnd) || GetWindowLongPtrA(hWnd, GWLP_HWNDPARENT))
        return TRUE;
    char szTitle[128];
    szTitle[0] = '\0';
    GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    if (!MakeTaskCaption(szTitle, TaskTitles[nTasks], TASK_TITLE_CHARS))
        return TRUE;
    TaskHandles[nTasks++] = hWnd;
    return nTasks < MAX_TASKS;
}

int WINAPI GetTaskWindowNumber(void)
{
    return nTasks;
}

BOOL WINAPI GetWindowTitle(LPSTR lpszTitle, int nIndex)
{
    if (nIndex < 0 || nIndex >= nTasks)
        return FALSE;
    lstrcpynA(lpszTitle, TaskTitles[nIndex], TASK_TITLE_CHARS);
    return TRUE;
}

HWND WINAPI GetWindowHandle(int nIndex)
{
    if (nIndex < 0 || nIndex >= nTasks)
        return NULL;
    return TaskHandles[nIndex];
}
