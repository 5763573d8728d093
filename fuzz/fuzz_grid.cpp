/* MakeTileGrid, TileCell and CascadePlace.
   Input: "<n> <width> <height> <step> <minWidth> <minHeight>": windows to
   place (0..1023), screen width and usable height (0..8191 pixels each), the
   cascade step (0..127 pixels) and the smallest window (0..1023 each). */
#include "logic.h"

#include "fuzz_support.h"

static bool Overlap(const Placement &a, const Placement &b)
{
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

static void CheckGrid(int n, int width, int height)
{
    TileGrid g = MakeTileGrid(n, width, height);
    if (n <= 0) {
        FUZZ_CHECK(g.columns == 1 && g.rows == 1);
        FUZZ_CHECK(g.cellWidth == width && g.cellHeight == height);
        return;
    }
    const int c = g.columns;
    FUZZ_CHECK(c >= 1);
    /* The smallest column count whose quotient does not exceed it. */
    FUZZ_CHECK(n / c <= c);
    FUZZ_CHECK(c == 1 || n / (c - 1) > c - 1);
    /* Every window has a cell and no row is left empty. */
    FUZZ_CHECK(c * g.rows >= n);
    FUZZ_CHECK(c * (g.rows - 1) < n);
    /* Cells as large as an even split allows. */
    FUZZ_CHECK(g.cellWidth >= 0 && g.cellHeight >= 0);
    FUZZ_CHECK(width - c * g.cellWidth >= 0 && width - c * g.cellWidth < c);
    FUZZ_CHECK(height - g.rows * g.cellHeight >= 0 && height - g.rows * g.cellHeight < g.rows);

    Placement previous = {0, 0, 0, 0};
    for (int k = 0; k < n; k++) {
        Placement p = TileCell(&g, k);
        FUZZ_CHECK(p.cx == g.cellWidth && p.cy == g.cellHeight);
        FUZZ_CHECK(p.x >= 0 && p.y >= 0);
        FUZZ_CHECK(p.x + p.cx <= width && p.y + p.cy <= height);
        /* Row by row: the next cell to the right, or the first of the next
           row below. */
        if (k == 0) {
            FUZZ_CHECK(p.x == 0 && p.y == 0);
        } else if (k % c != 0) {
            FUZZ_CHECK(p.x == previous.x + previous.cx && p.y == previous.y);
        } else {
            FUZZ_CHECK(p.x == 0 && p.y == previous.y + previous.cy);
        }
        if (k == n - 1)
            FUZZ_CHECK(p.y == (g.rows - 1) * g.cellHeight);
        previous = p;
    }
    /* The ordering above already rules out overlap; check it outright for
       grids small enough to compare every pair. */
    if (n <= 64)
        for (int i = 0; i < n; i++)
            for (int j = i + 1; j < n; j++)
                FUZZ_CHECK(!Overlap(TileCell(&g, i), TileCell(&g, j)));
}

static void CheckCascade(int n, int step, int width, int height, int minWidth, int minHeight)
{
    bool roomy = width >= minWidth && height >= minHeight;
    for (int k = 0; k < n; k++) {
        Placement p = CascadePlace(k, step, width, height, minWidth, minHeight);
        /* Some steps right and down, reaching the right and bottom edges. */
        FUZZ_CHECK(p.x == p.y && p.x >= 0 && (step == 0 || p.x % step == 0));
        FUZZ_CHECK(p.x + p.cx == width && p.y + p.cy == height);
        /* Never below the minimum where the screen leaves room for it. */
        if (roomy)
            FUZZ_CHECK(p.cx >= minWidth && p.cy >= minHeight);
        if (k > 0) {
            /* One step on from the window behind, or back at the corner
               when one more step would go below the minimum. */
            Placement back = CascadePlace(k - 1, step, width, height, minWidth, minHeight);
            bool next = p.x - back.x == step;
            bool again = p.x == 0 && (back.cx - step < minWidth || back.cy - step < minHeight);
            FUZZ_CHECK(next != again || step == 0);
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int n = in.Number(0, 1023);
    int width = in.Number(0, 8191);
    int height = in.Number(0, 8191);
    int step = in.Number(0, 127);
    int minWidth = in.Number(0, 1023);
    int minHeight = in.Number(0, 1023);
    CheckGrid(n, width, height);
    CheckCascade(n, step, width, height, minWidth, minHeight);
    return 0;
}
