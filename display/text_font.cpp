// Chooses and sizes the font of Canvas::PutText.
#include "display/text_font.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace torvesk::display {

namespace {

// The face the program asks for first, then the gothic that Debian ships.
const char kPreferredFace[] = "ＭＳ ゴシック";
const char kFallbackFace[] = "IPAGothic";
// Pixel size at which the face's cell-to-em ratio is measured.
constexpr int kMeasuringSize = 100;

} // namespace

// Left antialiased, Qt's default: at the 8-pixel results lines single-colour
// glyphs lose strokes and letters run together; blended ones stay legible.
QFont TextFont(int cellHeight) {
    QFont font;
    font.setFamilies({QString::fromUtf8(kPreferredFace), QString::fromUtf8(kFallbackFace)});
    font.setWeight(QFont::Normal);
    font.setPixelSize(kMeasuringSize);
    const QFontMetricsF metrics(font);
    const double cell = metrics.ascent() + metrics.descent();
    const double wanted = std::clamp(cellHeight, 1, kMaxTextHeight);
    const double em = cell > 0 ? wanted * kMeasuringSize / cell : wanted;
    font.setPixelSize(static_cast<int>(std::clamp(std::lround(em), 1L, long{kMaxTextHeight})));
    return font;
}

} // namespace torvesk::display
