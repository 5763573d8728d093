/* MakeTileGrid, TileCell and CascadePlace; InvisibleBorders and
   PlaceVisibleFrame.
   Input: "<n> <width> <height> <step> <minWidth> <minHeight>": windows to
   place (0..1023), screen width and usable height (0..8191 pixels each), the
   cascade step (0..127 pixels) and the smallest window (0..1023 each); then
   "<x> <y> <cx> <cy> <percent> <left> <top> <right> <bottom>": a window as
   its program sees it (-32768..32767 and 0..16383), the system's scale
   (100..400 %), and how far its frame lies in from each physical edge
   (-64..1023 each; a negative one lies outside). */
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

static void CheckFrame(FuzzInput &in)
{
    int x = in.Number(0, 65535) - 32768, y = in.Number(0, 65535) - 32768;
    int cx = in.Number(0, 16383), cy = in.Number(0, 16383);
    int percent = in.Number(100, 400);
    int inset[4];
    for (int &i : inset)
        i = in.Number(0, 1087) - 64;
    Edges window = {x, y, x + cx, y + cy};
    Edges physical = {x * percent / 100, y * percent / 100, (x + cx) * percent / 100,
                      (y + cy) * percent / 100};
    Edges frame = {physical.left + inset[0], physical.top + inset[1], physical.right - inset[2],
                   physical.bottom - inset[3]};
    Edges b = InvisibleBorders(window, physical, frame);
    bool within = inset[0] >= 0 && inset[1] >= 0 && inset[2] >= 0 && inset[3] >= 0 &&
                  frame.left < frame.right && frame.top < frame.bottom && cx > 0 && cy > 0 &&
                  physical.left < physical.right && physical.top < physical.bottom;
    if (!within) {
        /* No difference reported: the placement stays exactly as it was. */
        FUZZ_CHECK(b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0);
        return;
    }
    /* Never negative, and never more than the window holds. */
    FUZZ_CHECK(b.left >= 0 && b.top >= 0 && b.right >= 0 && b.bottom >= 0);
    FUZZ_CHECK(b.left + b.right <= cx && b.top + b.bottom <= cy);
    /* At 100 % the borders are the insets themselves. */
    if (percent == 100)
        FUZZ_CHECK(b.left == inset[0] && b.top == inset[1] && b.right == inset[2] &&
                   b.bottom == inset[3]);
    /* The window placed so that its frame, as far in as the borders say,
       fills the place. */
    Placement place = {x, y, cx, cy};
    Placement p = PlaceVisibleFrame(place, b);
    FUZZ_CHECK(p.x + b.left == place.x && p.y + b.top == place.y);
    FUZZ_CHECK(p.cx - b.left - b.right == place.cx && p.cy - b.top - b.bottom == place.cy);
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
    CheckFrame(in);
    return 0;
}
