// The paint cycle over Qt: a device context is the painter that a window
// lends for the length of its paint event.
#include "paint.h"
#include "paint_qt.h"
#include "window_base.h"

#include <QPaintDevice>
#include <QPainter>

struct DeviceContext {
    QPainter* painter;
};

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
    if (!window)
        return FALSE;
    window->requestRepaint();
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    if (!window || !window->activePainter)
        return nullptr;
    if (const QPaintDevice* device = window->activePainter->device())
        paint->rcPaint = RECT{0, 0, device->width(), device->height()};
    paint->hdc = new DeviceContext{window->activePainter};
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (paint)
        delete paint->hdc;
    return TRUE;
}

QPainter* PainterOf(HDC dc) {
    return dc ? dc->painter : nullptr;
}
