// Drawing one results line.
#include "display/results_screen.h"

#include "display/canvas.h"

void ShowResultsLine(Canvas& canvas, int row, bool clearsScreen, const char* text) {
    if (clearsScreen)
        canvas.ClearBlack();
    canvas.SetTextStyle(kResultsTextHeight, 255, 255, 0);
    canvas.PutText(kResultsMargin, row * kResultsTextHeight + kResultsMargin, text);
}
