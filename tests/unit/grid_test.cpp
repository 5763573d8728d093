#include "logic.h"

#include <gtest/gtest.h>

namespace
{

struct GridCase {
    int n, columns, rows, cellWidth, cellHeight, emptyCells;
};

} // namespace

// An 800 x 600 screen whose icon spacing leaves 525 pixels of usable height.
TEST(TileGrid, MatchesTheWorkedExamples)
{
    static const GridCase cases[] = {
        {1, 1, 1, 800, 525, 0},  {2, 2, 1, 400, 525, 0},  {3, 2, 2, 400, 262, 1},
        {4, 2, 2, 400, 262, 0},  {5, 2, 3, 400, 175, 1},  {6, 3, 2, 266, 262, 0},
        {7, 3, 3, 266, 175, 2},  {10, 3, 4, 266, 131, 2}, {12, 4, 3, 200, 175, 0},
        {17, 4, 5, 200, 105, 3}, {20, 5, 4, 160, 131, 0}, {30, 6, 5, 133, 105, 0},
    };
    for (const GridCase &c : cases) {
        SCOPED_TRACE(c.n);
        TileGrid g = MakeTileGrid(c.n, 800, 525);
        EXPECT_EQ(c.columns, g.columns);
        EXPECT_EQ(c.rows, g.rows);
        EXPECT_EQ(c.cellWidth, g.cellWidth);
        EXPECT_EQ(c.cellHeight, g.cellHeight);
        EXPECT_EQ(c.emptyCells, g.columns * g.rows - c.n);
    }
}

TEST(TileGrid, ColumnsAreTheSmallestCountWhoseQuotientDoesNotExceedIt)
{
    for (int n = 1; n <= 300; n++) {
        SCOPED_TRACE(n);
        TileGrid g = MakeTileGrid(n, 1000, 1000);
        EXPECT_LE(n / g.columns, g.columns);
        if (g.columns > 1) {
            EXPECT_GT(n / (g.columns - 1), g.columns - 1);
        }
        EXPECT_GE(g.columns * g.rows, n) << "every window has a cell";
        EXPECT_LT(g.columns * (g.rows - 1), n) << "no row is left empty";
    }
}

TEST(TileGrid, FillsCellsRowByRowLeftToRight)
{
    TileGrid five = MakeTileGrid(5, 800, 525);
    const int expected5[][2] = {{0, 0}, {400, 0}, {0, 175}, {400, 175}, {0, 350}};
    for (int k = 0; k < 5; k++) {
        Placement p = TileCell(&five, k);
        EXPECT_EQ(expected5[k][0], p.x) << k;
        EXPECT_EQ(expected5[k][1], p.y) << k;
        EXPECT_EQ(400, p.cx);
        EXPECT_EQ(175, p.cy);
    }
    TileGrid seven = MakeTileGrid(7, 800, 525);
    const int expected7[][2] = {{0, 0},     {266, 0},   {532, 0}, {0, 175},
                                {266, 175}, {532, 175}, {0, 350}};
    for (int k = 0; k < 7; k++) {
        Placement p = TileCell(&seven, k);
        EXPECT_EQ(expected7[k][0], p.x) << k;
        EXPECT_EQ(expected7[k][1], p.y) << k;
    }
    EXPECT_EQ(2, 800 - 3 * TileCell(&seven, 2).cx) << "two pixel columns stay uncovered";
}

TEST(CascadePlace, MatchesTheWorkedExample)
{
    // Caption 18 and frame 4: a step of 22. The back-most window comes first.
    const int step = 18 + 4;
    Placement back = CascadePlace(0, step, 800, 525, 112, 27);
    Placement middle = CascadePlace(1, step, 800, 525, 112, 27);
    Placement front = CascadePlace(2, step, 800, 525, 112, 27);
    EXPECT_EQ(0, back.x);
    EXPECT_EQ(0, back.y);
    EXPECT_EQ(800, back.cx);
    EXPECT_EQ(525, back.cy);
    EXPECT_EQ(22, middle.x);
    EXPECT_EQ(22, middle.y);
    EXPECT_EQ(778, middle.cx);
    EXPECT_EQ(503, middle.cy);
    EXPECT_EQ(44, front.x);
    EXPECT_EQ(44, front.y);
    EXPECT_EQ(756, front.cx);
    EXPECT_EQ(481, front.cy);
}

// 640 x 480 with a 75-pixel icon strip, step 22, minimum window 112 x 27:
// the 18th place (offset 374) leaves 266 x 31; the 19th would leave 9 pixels
// of height, so it begins again at the corner.
TEST(CascadePlace, BeginsAgainAtTheCornerBeforeAWindowWouldFallBelowTheMinimum)
{
    const struct {
        int k, x, cx, cy;
    } cases[] = {
        {0, 0, 640, 405},   {17, 374, 266, 31},  {18, 0, 640, 405},
        {19, 22, 618, 383}, {29, 242, 398, 163},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.k);
        Placement p = CascadePlace(c.k, 22, 640, 405, 112, 27);
        EXPECT_EQ(c.x, p.x);
        EXPECT_EQ(c.x, p.y);
        EXPECT_EQ(c.cx, p.cx);
        EXPECT_EQ(c.cy, p.cy);
    }
    // A screen smaller than the minimum window: every place is the corner.
    EXPECT_EQ(0, CascadePlace(3, 22, 100, 20, 112, 27).x);
}
