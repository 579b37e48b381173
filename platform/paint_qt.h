// The Qt side of a device context, for code that draws with QPainter.
#pragma once

#include "win_types.h"

class QPainter;

// The painter behind a device context from BeginPaint, or null.
QPainter* PainterOf(HDC dc);
