// The About dialog's layout, in dialog units.
#include "shell/about_dialog.h"

#include "shell/dialog_units.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    const DialogUnits units = SetUpDialog(*this, QStringLiteral("バージョン情報"), 190, 62);
    auto* icon = new QLabel(this);
    const QRect iconArea = units.ToPixels(14, 14, 21, 20);
    icon->setPixmap(QApplication::windowIcon().pixmap(iconArea.size()));
    icon->setGeometry(iconArea);
    auto* name = new QLabel(QStringLiteral("Torvesk バージョン " TORVESK_VERSION), this);
    name->setGeometry(units.ToPixels(42, 14, 140, 8));
    auto* makers = new QLabel(QStringLiteral("Copyright (C) the Torvesk authors"), this);
    makers->setGeometry(units.ToPixels(42, 26, 140, 8));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.ToPixels(133, 41, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
