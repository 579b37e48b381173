// The Canvas: a 1200 x 800 off-screen back buffer with text, clear, shape,
// grid and sprite drawing, copied whole to its window on every paint.
#pragma once

#include "win_types.h"

class QImage;

constexpr int kCanvasWidth = 1200;
constexpr int kCanvasHeight = 800;
// The widest pen the host draws; wider pens are drawn at this width.
constexpr int kMaxPenWidth = 32767;

class Canvas {
public:
    // Constant-initialised, so the global Canvas is ready before any other
    // static initialiser could use it.
    constexpr Canvas() = default;

    void Init(HWND window, int w, int h);
    void Paint(HWND window);
    void Invalidate(HWND window);
    void ClearBlack();
    void ClearWhite();
    void SetTextStyle(int height, int r, int g, int b);
    void PutText(int x, int y, const char* text);
    void SetPen(int width, int r, int g, int b);
    void SetBrush(int r, int g, int b);
    void DrawRect(int left, int top, int right, int bottom);
    void DrawEllipse(int left, int top, int right, int bottom);
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawGrid(int left, int top, int right, int bottom, int rows, int cols);
    int HitTest(int left, int top, int right, int bottom, int x, int y);
    void CellAt(int left, int top, int right, int bottom, int rows, int cols, int x, int y);
    void CellRect(int left, int top, int right, int bottom, int rows, int cols, int row,
                  int column);
    void DrawSprite(HWND window, int x, int y, const char* imageFile, const char* maskFile, int w,
                    int h);

    // The back buffer (null before Init); for tests and snapshots.
    const QImage* BackBuffer() const { return backBuffer; }

    // Results of CellAt (column, row) and CellRect (left, top, right, bottom).
    int ans[4] = {0, 0, 0, 0};

private:
    PAINTSTRUCT paintRecord = {};
    HDC windowDc = nullptr;
    QImage* backBuffer = nullptr; // lives as long as the process, like the Canvas
    int width = kCanvasWidth;
    int height = kCanvasHeight;
    // Colour components are kept as their low 8 bits.
    int textR = 255, textG = 0, textB = 0;
    int fontHeight = 15;
    int penR = 255, penG = 0, penB = 0;
    int penWidth = 1;
    int brushR = 255, brushG = 0, brushB = 0;
};

extern Canvas g_canvas;
