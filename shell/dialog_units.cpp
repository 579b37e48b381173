// Dialog-unit arithmetic and the shared dialog frame.
#include "shell/dialog_units.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace torvesk::shell {

namespace {

constexpr char kDialogFace[] = "MS Shell Dlg";
constexpr int kDialogPointSize = 8;
constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;
constexpr char kAverageSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kSampleLetters = 26; // per case

// value * unit / divisor, rounded to the nearest pixel.
int Scale(int value, int unit, int divisor) {
    const long long product = static_cast<long long>(value) * unit;
    const long long half = product >= 0 ? divisor / 2 : -(divisor / 2);
    return static_cast<int>((product + half) / divisor);
}

// The dialog face, or the desktop's UI font at the same size when the face
// is not installed.
QFont DialogFont() {
    QFont font(QString::fromLatin1(kDialogFace));
    font.setPointSize(kDialogPointSize);
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0)
        return font;
    QFont desktop = QApplication::font();
    desktop.setPointSize(kDialogPointSize);
    return desktop;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int sampleWidth = metrics.horizontalAdvance(QString::fromLatin1(kAverageSample));
    // Half the width of one upper- and one lower-case letter, rounded.
    averageWidth_ = std::max((sampleWidth / kSampleLetters + 1) / 2, 1);
    lineHeight_ = std::max(metrics.height(), 1);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(Scale(x, averageWidth_, kHorizontalDivisor),
                 Scale(y, lineHeight_, kVerticalDivisor),
                 Scale(width, averageWidth_, kHorizontalDivisor),
                 Scale(height, lineHeight_, kVerticalDivisor));
}

DialogUnits SetUpDialog(QDialog& dialog, const QString& caption, int width, int height) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowTitle(caption);
    dialog.setFont(DialogFont());
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.ToPixels(0, 0, width, height).size());
    return units;
}

} // namespace torvesk::shell
