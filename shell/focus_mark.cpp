// WCAG 2's relative luminance, from sRGB.
#include "shell/focus_mark.h"

#include <algorithm>
#include <cmath>

namespace torvesk::shell {

namespace {

constexpr double kFocusContrast = 3.0;

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

// WCAG's contrast ratio of two colours, from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b) {
    const double lighter = std::max(Luminance(a), Luminance(b));
    const double darker = std::min(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

} // namespace

QColor FocusMarkColour(const QColor& highlight) {
    const bool standsOut = ContrastRatio(highlight, Qt::black) >= kFocusContrast &&
                           ContrastRatio(highlight, Qt::white) >= kFocusContrast;
    return standsOut ? highlight : QColor(0x2a, 0x6f, 0xdb);
}

} // namespace torvesk::shell
