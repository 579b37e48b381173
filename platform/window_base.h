// What a window is to the paint calls: a surface that can be asked for a
// repaint and that, while it paints, lends a painter. Qt Gui level only, so
// the Canvas and the crawl engine need no widgets; the window layer in
// window.cpp derives its real windows from it, tests derive fakes.
#pragma once

class QPainter;

struct PlatformWindow {
    // Schedules a repaint of the whole client area; never paints at once.
    virtual void requestRepaint() = 0;

    // Set by the window for the length of its paint event.
    QPainter* activePainter = nullptr;

protected:
    ~PlatformWindow() = default;
};
