#include "state.h"
#include "logic.h"

/* Each command walks the task list and places windows through a Placer: into
   one deferred batch, or, when no batch could be had, directly. */
struct Placer {
    HDWP hdwp;
    BOOL bDirect;
};

typedef void (*WALKPROC)(Placer *pp);

/* A hung window is left where it is: placing it would wait for it. */
static void Place(Placer *pp, HWND hWnd, HWND hAfter, const Placement &pl, UINT uFlags)
{
    if (IsWindowHung(hWnd))
        return;
    if (pp->bDirect)
        SetWindowPos(hWnd, hAfter, pl.x, pl.y, pl.cx, pl.cy, uFlags);
    else if (pp->hdwp)
        pp->hdwp = DeferWindowPos(pp->hdwp, hWnd, hAfter, pl.x, pl.y, pl.cx, pl.cy, uFlags);
}

/* A batch lost on the way (a window closed since the list was built, say)
   is walked again from the start, placing each window at once, so that the
   windows end where the batch would have put them. */
static void ArrangeInBatch(WALKPROC pfnWalk, int nWindows)
{
    Placer placer = {BeginDeferWindowPos(nWindows), FALSE};
    pfnWalk(&placer);
    if (placer.hdwp) {
        EndDeferWindowPos(placer.hdwp);
        return;
    }
    placer.bDirect = TRUE;
    pfnWalk(&placer);
}

static void RestoreIfZoomed(HWND hWnd)
{
    if (IsZoomed(hWnd) && !IsWindowHung(hWnd))
        ShowWindow(hWnd, SW_RESTORE);
}

static int UsableHeight(void)
{
    return GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICONSPACING);
}

/* Makes a window the active one. SetFocus reaches only this thread's
   windows; a window of another thread is brought in front instead. */
static void ActivateWindow(HWND hWnd)
{
    if (GetWindowThreadProcessId(hWnd, NULL) == GetCurrentThreadId())
        SetFocus(hWnd);
    else
        SetForegroundWindow(hWnd);
}

/* Push: every task window but the target goes to the top, back-most first,
   so that they keep their order and all end in front of the target. The
   nPushTo back-most entries stay where they are; a negative count is 0.
   None is activated on the way: the activation of another program's window
   is carried out later by that program, and several of them in no fixed
   order would undo the order. */
static void PushWalk(Placer *pp)
{
    static const Placement noMove = {0, 0, 0, 0};
    int nSkip = nPushTo > 0 ? nPushTo : 0;
    for (int i = nTasks - 1 - nSkip; i >= 0; i--)
        if (TaskHandles[i] != hTargetWnd)
            Place(pp, TaskHandles[i], HWND_TOP, noMove, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void WINAPI Push(void)
{
    ResetHungCheck();
    EnsureReady();
    EnsureSettings();
    /* The front-most task window that is not the target is made active
       first, so that what the change of the active window does to the
       order of windows comes before the order is set; with none, the
       focus stays where it is. */
    int i = (nTasks > 0 && TaskHandles[0] == hTargetWnd) ? 1 : 0;
    if (i < nTasks) {
        ActivateWindow(TaskHandles[i]);
        MsgWaitForMultipleObjects(0, NULL, FALSE, 0, QS_ALLINPUT);
    }
    ArrangeInBatch(PushWalk, nTasks);
}

/* Where a window goes for its visible frame to fill place: on Windows 10 and
   11 its rectangle holds borders that are not drawn. Read after a zoomed
   window is restored, whose borders differ. */
static Placement VisibleFrameAt(HWND hWnd, Placement place)
{
    return PlaceVisibleFrame(place, HiddenBorders(hWnd));
}

static TileGrid tileGrid; /* the grid of the Tile in progress */

static void TileWalk(Placer *pp)
{
    int k = 0;
    for (int i = 0; i < nTasks; i++) {
        HWND hWnd = TaskHandles[i];
        if (IsIconic(hWnd))
            continue;
        RestoreIfZoomed(hWnd);
        Place(pp, hWnd, NULL, VisibleFrameAt(hWnd, TileCell(&tileGrid, k++)),
              SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void WINAPI SwvTileWindows(void)
{
    ResetHungCheck();
    int n = 0;
    for (int i = 0; i < nTasks; i++)
        if (!IsIconic(TaskHandles[i]))
            n++;
    if (n == 0)
        return;
    tileGrid = MakeTileGrid(n, GetSystemMetrics(SM_CXSCREEN), UsableHeight());
    ArrangeInBatch(TileWalk, n);
    ActivateWindow(TaskHandles[0]);
}

static void CascadeWalk(Placer *pp)
{
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    int cxScreen = GetSystemMetrics(SM_CXSCREEN);
    int cyUsable = UsableHeight();
    int cxMin = GetSystemMetrics(SM_CXMIN);
    int cyMin = GetSystemMetrics(SM_CYMIN);
    int k = 0;
    for (int i = nTasks - 1; i >= 0; i--) {
        HWND hWnd = TaskHandles[i];
        if (IsIconic(hWnd))
            continue;
        RestoreIfZoomed(hWnd);
        Place(pp, hWnd, NULL,
              VisibleFrameAt(hWnd, CascadePlace(k++, step, cxScreen, cyUsable, cxMin, cyMin)),
              SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

/* Works on the windows present now, not those of the menu's call-up. */
void WINAPI SwvCascadeWindows(void)
{
    RefreshTaskList();
    ArrangeInBatch(CascadeWalk, nTasks);
}
