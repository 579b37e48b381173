// The Canvas's grid: cell lookup, cell boxes, grid lines and hit tests.
#include "display/canvas_fixture.h"

#include <array>
#include <climits>

using namespace torvesk::display;

namespace {

using ColumnRow = std::array<int, 2>;
using CellBox = std::array<int, 4>;

ColumnRow CellAt(int left, int top, int right, int bottom, int rows, int cols, int x, int y) {
    Canvas canvas;
    canvas.CellAt(left, top, right, bottom, rows, cols, x, y);
    return {canvas.ans[0], canvas.ans[1]};
}

CellBox CellRect(int left, int top, int right, int bottom, int rows, int cols, int row, int col) {
    Canvas canvas;
    std::fill(std::begin(canvas.ans), std::end(canvas.ans), 7);
    canvas.CellRect(left, top, right, bottom, rows, cols, row, col);
    return {canvas.ans[0], canvas.ans[1], canvas.ans[2], canvas.ans[3]};
}

// The cell walk written out step by step, to check the arithmetic against.
int WalkedCellNumber(int start, int end, int count, int p) {
    const int step = (end - start) / count;
    int number = 1;
    for (int cellStart = start; cellStart < end; cellStart += step, ++number)
        if (cellStart < p && p <= cellStart + step)
            return number;
    return 0;
}

bool RowIsRed(const QImage& image, int y, int fromX, int toX) {
    for (int x = fromX; x <= toX; ++x)
        if (image.pixel(x, y) != kRed)
            return false;
    return true;
}

} // namespace

TEST(CanvasGrid, CellAtGivesColumnThenRowAndNoCellOnTheTopLeftBorder) {
    EXPECT_EQ(CellAt(0, 0, 100, 100, 4, 4, 30, 60), (ColumnRow{2, 3}));
    EXPECT_EQ(CellAt(0, 0, 100, 100, 4, 4, 0, 0), (ColumnRow{0, 0}));
    EXPECT_EQ(CellAt(0, 0, 100, 100, 4, 4, 25, 100), (ColumnRow{1, 4}));
    EXPECT_EQ(CellAt(0, 0, 100, 100, 4, 4, -5, 101), (ColumnRow{0, 0}));
}

TEST(CanvasGrid, CellRectTakesRowThenColumn) {
    EXPECT_EQ(CellRect(0, 0, 100, 100, 4, 4, 3, 2), (CellBox{25, 50, 50, 75}));
    EXPECT_EQ(CellRect(0, 0, 100, 100, 4, 4, 5, 0), (CellBox{0, 0, 0, 0}));
}

TEST(CanvasGrid, UnevenSpanGetsAnExtraCellPastTheEdge) {
    EXPECT_EQ(CellRect(0, 0, 10, 10, 3, 3, 4, 4), (CellBox{9, 9, 12, 12}));
    for (int y : {10, 11, 12})
        EXPECT_EQ(CellAt(0, 0, 10, 10, 3, 3, 1, y), (ColumnRow{1, 4})) << "y " << y;
    EXPECT_EQ(CellAt(0, 0, 10, 10, 3, 3, 1, 13), (ColumnRow{1, 0}));
}

TEST(CanvasGrid, CellAtAgreesWithTheWalk) {
    for (int start : {-7, 0, 5})
        for (int span : {1, 7, 10, 11, 24})
            for (int count = 1; count <= span; ++count)
                for (int p = start - 2; p <= start + span + count + 2; ++p)
                    ASSERT_EQ(CellAt(start, start, start + span, start + span, count, 1, 0, p)[1],
                              WalkedCellNumber(start, start + span, count, p))
                        << "start " << start << " span " << span << " count " << count << " p "
                        << p;
}

TEST(CanvasGrid, NoRowsNoColumnsOrNoStepMeansNoCell) {
    const int grids[][6] = {{0, 0, 100, 100, 0, 4}, {0, 0, 100, 100, 4, 0},  {0, 0, 100, 3, 4, 4},
                            {0, 0, 3, 100, 4, 4},   {0, 0, 100, 100, -4, 4}, {100, 100, 0, 0, 4, 4},
                            {0, 0, 0, 0, 1, 1}};
    for (const auto& g : grids) {
        EXPECT_EQ(CellAt(g[0], g[1], g[2], g[3], g[4], g[5], 1, 1), (ColumnRow{0, 0}));
        EXPECT_EQ(CellRect(g[0], g[1], g[2], g[3], g[4], g[5], 1, 1), (CellBox{0, 0, 0, 0}));
    }
}

TEST(CanvasGrid, ExtremeGridsStayInRange) {
    // Two columns of INT_MAX leave a third, extra one starting at INT_MAX - 1.
    EXPECT_EQ(CellAt(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 2, INT_MAX, INT_MAX),
              (ColumnRow{3, 1}));
    EXPECT_EQ(CellRect(0, 0, INT_MAX, INT_MAX, 2, 2, 3, 3),
              (CellBox{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX}));
}

TEST(CanvasGrid, HitTestIncludesEdgesAndCorners) {
    Canvas canvas;
    for (auto [x, y] : {std::pair{10, 20}, {30, 20}, {10, 40}, {30, 40}, {20, 20}, {10, 30}})
        EXPECT_EQ(canvas.HitTest(10, 20, 30, 40, x, y), 1) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 20}, {31, 40}, {20, 19}, {20, 41}})
        EXPECT_EQ(canvas.HitTest(10, 20, 30, 40, x, y), 0) << x << "," << y;
}

TEST_F(CanvasTest, GridLinesStartEveryStepUpToTheEdge) {
    canvas.SetPen(1, 255, 0, 0);
    canvas.DrawGrid(0, 0, 10, 10, 3, 3);
    for (int at : {0, 3, 6, 9}) {
        EXPECT_TRUE(RowIsRed(Buffer(), at, 0, 10)) << "line at y " << at;
        EXPECT_EQ(Pixel(at, 10), kRed) << "vertical line at x " << at;
    }
    for (int x : {1, 2, 4, 10})
        EXPECT_EQ(Pixel(x, 10), kBlack) << "no line at y 10, x " << x;
    canvas.DrawGrid(20, 0, 50, 30, 3, 3);
    EXPECT_TRUE(RowIsRed(Buffer(), 30, 20, 50)) << "an even span closes on its edge";
    EXPECT_EQ(Pixel(50, 15), kRed);
    EXPECT_EQ(Pixel(51, 15), kBlack);
}

TEST_F(CanvasTest, DegenerateGridsDrawNothingAndHugeOnesOnlyWhatShows) {
    const QImage before = Buffer();
    canvas.SetPen(1, 255, 0, 0);
    canvas.DrawGrid(0, 0, 40, 40, 0, 4);
    canvas.DrawGrid(0, 0, 40, 40, 4, 0);
    canvas.DrawGrid(0, 0, 3, 40, 4, 4);
    canvas.DrawGrid(0, 0, 40, 40, -2, -2);
    EXPECT_EQ(Buffer(), before);
    // Step 2 from an even start: lines on every even row and column.
    canvas.DrawGrid(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    EXPECT_TRUE(RowIsRed(Buffer(), 0, 0, kWidth - 1));
    EXPECT_TRUE(RowIsRed(Buffer(), 2, 0, kWidth - 1));
    EXPECT_EQ(Pixel(1, 1), kBlack);
}
