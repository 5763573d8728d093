#include "logic.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct GridCase {
    int n, columns, rows, cellWidth, cellHeight, emptyCells;
};

// "left,top,right,bottom" and "x,y cx x cy", as the expectations write them.
std::string Text(const Edges &e)
{
    return std::to_string(e.left) + "," + std::to_string(e.top) + "," + std::to_string(e.right) +
           "," + std::to_string(e.bottom);
}

std::string Text(const Placement &p)
{
    return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.cx) + "x" +
           std::to_string(p.cy);
}

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

// Windows 10 at 100 %: a window at (100, 50) of 816 x 639 whose visible frame
// is 7 pixels in from its left, right and bottom edges and flush at the top.
TEST(VisibleFrame, BordersOfTheFrameAreMovedOutOfTheCell)
{
    Edges window = {100, 50, 916, 689};
    Edges frame = {107, 50, 909, 682};
    Edges b = InvisibleBorders(window, window, frame);
    EXPECT_EQ("7,0,7,7", Text(b));
    // The second cell of two on an 800 x 525 working area.
    EXPECT_EQ("393,0 414x532", Text(PlaceVisibleFrame({400, 0, 400, 525}, b)));
}

// At 150 % a program the system scales sees the window at (100, 50), 544 x
// 426; its rectangle is (150, 75) to (966, 714) in physical pixels, and the
// frame lies 10, 0, 11 and 10 physical pixels in from it.
TEST(VisibleFrame, PhysicalBordersAreScaledToTheCallersPixels)
{
    Edges window = {100, 50, 644, 476};
    Edges physical = {150, 75, 966, 714};
    Edges frame = {160, 75, 955, 704};
    // 10 * 544 / 816 = 6.67, 11 * 544 / 816 = 7.33, 10 * 426 / 639 = 6.67
    EXPECT_EQ("7,0,7,7", Text(InvisibleBorders(window, physical, frame)));
}

// Wine, the classic look, or a frame that makes no sense: the cell as it is.
TEST(VisibleFrame, NoReportedDifferenceLeavesThePlacementAsItIs)
{
    const Edges window = {100, 50, 916, 689};
    const struct {
        const char *what;
        Edges physical, frame;
    } cases[] = {
        {"the same rectangle", window, window},
        {"frame outside the window", window, {90, 50, 909, 682}},
        {"frame past the bottom", window, {107, 50, 909, 700}},
        {"empty frame", window, {107, 50, 107, 682}},
        {"empty window", {100, 50, 100, 689}, {100, 50, 100, 689}},
        {"wider than 32767", {100, 50, 40100, 689}, {107, 50, 40093, 682}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Edges b = InvisibleBorders(window, c.physical, c.frame);
        EXPECT_EQ("400,175 400x175", Text(PlaceVisibleFrame({400, 175, 400, 175}, b)));
    }
}

// DWM_CLOAKED_APP 1, DWM_CLOAKED_SHELL 2, DWM_CLOAKED_INHERITED 4; S_OK 0,
// E_INVALIDARG 0x80070057 (Windows 7, which has no cloaking), E_NOTIMPL.
TEST(Cloaking, OnlyASuccessfulNonZeroAnswerHidesAWindow)
{
    EXPECT_FALSE(CountsAsCloaked(0, 0));
    EXPECT_TRUE(CountsAsCloaked(0, 1));
    EXPECT_TRUE(CountsAsCloaked(0, 2));
    EXPECT_TRUE(CountsAsCloaked(0, 4));
    EXPECT_FALSE(CountsAsCloaked((long)0x80070057L, 2));
    EXPECT_FALSE(CountsAsCloaked((long)0x80004001L, 1));
}
