// Builds dialog widgets from templates: fonts, dialog units and controls.
#include "dialog_layout.h"
#include "window_qt.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;
constexpr int kSmallestPointSize = 1;
constexpr char kAverageSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kSampleLetters = 26; // per case

// value * unit / divisor, rounded to the nearest pixel.
int Scale(int value, int unit, int divisor) {
    long long product = static_cast<long long>(value) * unit;
    long long half = product >= 0 ? divisor / 2 : -(divisor / 2);
    return static_cast<int>((product + half) / divisor);
}

QPushButton* CreateButton(QDialog& dialog, const ControlTemplate& control,
                          const std::function<void(int)>& onClick) {
    auto* button = new QPushButton(QString::fromUtf8(control.text), &dialog);
    button->setDefault(control.kind == ControlKind::DefaultButton);
    int id = control.id;
    QObject::connect(button, &QPushButton::clicked, [onClick, id] { onClick(id); });
    return button;
}

QLabel* CreateIcon(QDialog& dialog, const QRect& area) {
    auto* label = new QLabel(&dialog);
    label->setPixmap(ApplicationIcon().pixmap(area.size()));
    return label;
}

QWidget* CreateWidget(QDialog& dialog, const ControlTemplate& control, const QRect& area,
                      const std::function<void(int)>& onClick) {
    QString text = QString::fromUtf8(control.text ? control.text : "");
    switch (control.kind) {
    case ControlKind::DefaultButton:
    case ControlKind::Button:
        return CreateButton(dialog, control, onClick);
    case ControlKind::Edit:
        return new QLineEdit(text, &dialog);
    case ControlKind::Label:
        return new QLabel(text, &dialog);
    case ControlKind::Icon:
        return CreateIcon(dialog, area);
    }
    return new QLabel(text, &dialog); // a kind this layer does not know shows as text
}

} // namespace

QFont DialogFont(const DialogTemplate& dialog) {
    QFont font(QString::fromUtf8(dialog.fontFace ? dialog.fontFace : ""));
    font.setPointSize(std::max(dialog.pointSize, kSmallestPointSize));
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0)
        return font;
    QFont desktop = QApplication::font();
    desktop.setPointSize(font.pointSize());
    return desktop;
}

DialogUnits UnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    int sampleWidth = metrics.horizontalAdvance(QString::fromLatin1(kAverageSample));
    // Half the width of one upper- and one lower-case letter, rounded.
    int averageWidth = (sampleWidth / kSampleLetters + 1) / 2;
    return DialogUnits{std::max(averageWidth, 1), std::max(metrics.height(), 1)};
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(Scale(x, averageWidth, kHorizontalDivisor), Scale(y, lineHeight, kVerticalDivisor),
                 Scale(width, averageWidth, kHorizontalDivisor),
                 Scale(height, lineHeight, kVerticalDivisor));
}

QWidget* CreateControl(QDialog& dialog, const ControlTemplate& control, const DialogUnits& units,
                       const std::function<void(int)>& onClick) {
    QRect area = units.ToPixels(control.x, control.y, control.width, control.height);
    QWidget* widget = CreateWidget(dialog, control, area, onClick);
    widget->setGeometry(area);
    if (control.id != kNoControlId)
        widget->setObjectName(QString::number(control.id));
    return widget;
}

QWidget* FindControl(QDialog& dialog, int id) {
    return dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}
