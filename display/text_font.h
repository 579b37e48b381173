// The font the Canvas writes text in. Display-internal: includes Qt, so only
// display/ sources and their tests include it.
#pragma once

#include <QFont>

namespace torvesk::display {

// Tallest text cell drawn; taller requests are drawn at this height.
constexpr int kMaxTextHeight = 1 << 16;

// A Japanese gothic face, normal weight, antialiased, sized so that its
// cell (ascent plus descent, the classic reading of a positive font height)
// is cellHeight pixels. cellHeight must be at least 1.
QFont TextFont(int cellHeight);

} // namespace torvesk::display
