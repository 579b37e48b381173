// The results screen on the Canvas: one yellow line of 8-pixel text per
// visited page, 8 pixels apart from y = 10, the screen cleared to black
// before a line that starts it again at the top.
#pragma once

class Canvas;

constexpr int kResultsTextHeight = 8;
constexpr int kResultsMargin = 10;

void ShowResultsLine(Canvas& canvas, int row, bool clearsScreen, const char* text);
