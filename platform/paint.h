// Invalidation and the paint cycle, as the Canvas uses them.
#pragma once

#include "win_types.h"

// Asks for a repaint of the whole client area (rect is ignored: the Canvas
// always repaints everything). A null window is ignored.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);

// Between these two calls paint->hdc draws onto the window; outside a paint
// event of the window it is null and drawing does nothing.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
