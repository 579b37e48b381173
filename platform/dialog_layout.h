// Dialog templates turned into widgets: the dialog font, dialog units in
// pixels, and one widget per control. Window layer only.
#pragma once

#include "module.h"

#include <functional>

class QDialog;
class QFont;
class QRect;
class QWidget;

// The template's font, or the desktop's UI font at the same size when the
// face is not installed.
QFont DialogFont(const DialogTemplate& dialog);

// Pixels per dialog unit: a quarter of the font's average character width
// across, an eighth of its height down.
struct DialogUnits {
    int averageWidth;
    int lineHeight;

    QRect ToPixels(int x, int y, int width, int height) const;
};

DialogUnits UnitsOf(const QFont& font);

// Adds the control to dialog, named by its id; buttons call onClick with it.
QWidget* CreateControl(QDialog& dialog, const ControlTemplate& control, const DialogUnits& units,
                       const std::function<void(int)>& onClick);

// The dialog's control with this id, or null.
QWidget* FindControl(QDialog& dialog, int id);
