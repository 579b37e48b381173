// Grid arithmetic of the Canvas. An axis is cut into cells of an integer
// step, (end - start) / count, walked from start while a cell begins before
// end; when the span is not a multiple of the step the last cell reaches past
// end. Cells are numbered from 1 and hold start < p <= start + step. The walk
// is done in closed form on 64 bits, so no input can make it long or
// overflow, and a grid whose count or step is below 1 has no cells at all.
#include "display/canvas.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace torvesk::display {

namespace {

struct GridAxis {
    std::int64_t start;
    std::int64_t end;
    std::int64_t step; // 0 when the axis has no cells
};

GridAxis AxisOf(int start, int end, int count) {
    const std::int64_t step = count < 1 ? 0 : (std::int64_t{end} - start) / count;
    return {start, end, std::max<std::int64_t>(step, 0)};
}

bool HasCells(const GridAxis& vertical, const GridAxis& horizontal) {
    return vertical.step > 0 && horizontal.step > 0;
}

int Saturated(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// The number of the cell that holds p, or 0.
int CellNumber(const GridAxis& axis, int p) {
    if (p <= axis.start)
        return 0;
    const std::int64_t number = (p - axis.start + axis.step - 1) / axis.step;
    const std::int64_t cellStart = axis.start + (number - 1) * axis.step;
    return cellStart < axis.end ? Saturated(number) : 0;
}

struct CellSpan {
    int start;
    int end;
};

// Where cell `number` begins and ends, or {0, 0} when there is no such cell.
CellSpan SpanOfCell(const GridAxis& axis, int number) {
    if (number < 1)
        return {0, 0};
    const std::int64_t cellStart = axis.start + (std::int64_t{number} - 1) * axis.step;
    if (cellStart >= axis.end)
        return {0, 0};
    return {Saturated(cellStart), Saturated(cellStart + axis.step)};
}

// Calls draw(position) for every grid line of the axis within [low, high];
// lines outside the buffer are skipped unvisited.
template <typename Draw>
void ForEachLine(const GridAxis& axis, std::int64_t low, std::int64_t high, Draw draw) {
    std::int64_t at = axis.start;
    if (at < low)
        at += (low - at + axis.step - 1) / axis.step * axis.step;
    for (; at <= axis.end && at <= high; at += axis.step)
        draw(static_cast<int>(at));
}

} // namespace

void Canvas::DrawGrid(int left, int top, int right, int bottom, int rows, int cols) {
    const GridAxis vertical = AxisOf(top, bottom, rows);
    const GridAxis horizontal = AxisOf(left, right, cols);
    if (backBuffer.isNull() || !HasCells(vertical, horizontal))
        return;
    // A line this far outside the buffer cannot reach into it.
    const std::int64_t reach = penWidth + 1;
    ForEachLine(vertical, -reach, height + reach, [&](int y) { DrawLine(left, y, right, y); });
    ForEachLine(horizontal, -reach, width + reach, [&](int x) { DrawLine(x, top, x, bottom); });
}

int Canvas::HitTest(int left, int top, int right, int bottom, int x, int y) {
    return left <= x && x <= right && top <= y && y <= bottom ? 1 : 0;
}

void Canvas::CellAt(int left, int top, int right, int bottom, int rows, int cols, int x, int y) {
    const GridAxis vertical = AxisOf(top, bottom, rows);
    const GridAxis horizontal = AxisOf(left, right, cols);
    const bool hasCells = HasCells(vertical, horizontal);
    ans[0] = hasCells ? CellNumber(horizontal, x) : 0;
    ans[1] = hasCells ? CellNumber(vertical, y) : 0;
}

void Canvas::CellRect(int left, int top, int right, int bottom, int rows, int cols, int row,
                      int column) {
    const GridAxis vertical = AxisOf(top, bottom, rows);
    const GridAxis horizontal = AxisOf(left, right, cols);
    const bool hasCells = HasCells(vertical, horizontal);
    const CellSpan across = hasCells ? SpanOfCell(horizontal, column) : CellSpan{0, 0};
    const CellSpan down = hasCells ? SpanOfCell(vertical, row) : CellSpan{0, 0};
    ans[0] = across.start;
    ans[1] = down.start;
    ans[2] = across.end;
    ans[3] = down.end;
}

} // namespace torvesk::display
