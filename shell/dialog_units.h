// Dialogs laid out in dialog units, as their layouts are written: the
// dialog font, units turned into pixels, and the frame every dialog shares.
#pragma once

#include <QFont>
#include <QRect>
class QDialog;
class QString;

namespace torvesk::shell {

// Pixels per dialog unit: a quarter of the font's average character width
// across, an eighth of its height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect ToPixels(int x, int y, int width, int height) const;

private:
    int averageWidth_;
    int lineHeight_;
};

// Gives dialog its caption, the dialog font, a frame with a close button
// only, and a fixed size of width x height units; returns its units.
DialogUnits SetUpDialog(QDialog& dialog, const QString& caption, int width, int height);

} // namespace torvesk::shell
