// The About dialog's layout, in dialog units.
#include "shell/about_dialog.h"

#include "shell/dialog_units.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace torvesk::shell {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    const DialogUnits units = SetUpDialog(*this, tr("バージョン情報"), 190, 78);
    auto* icon = new QLabel(this);
    const QRect iconArea = units.ToPixels(14, 14, 21, 20);
    icon->setPixmap(QApplication::windowIcon().pixmap(iconArea.size()));
    icon->setGeometry(iconArea);
    auto* name = new QLabel(tr("Torvesk バージョン %1").arg(QStringLiteral(TORVESK_VERSION)), this);
    name->setGeometry(units.ToPixels(42, 14, 140, 8));
    auto* makers = new QLabel(QStringLiteral("Copyright (C) the Torvesk authors"), this);
    makers->setGeometry(units.ToPixels(42, 26, 140, 8));
    auto* language = new QLabel(tr("表示言語: LANGUAGE=ja で日本語、\nLANGUAGE=en で英語"), this);
    language->setGeometry(units.ToPixels(42, 38, 140, 16));
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(units.ToPixels(133, 57, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace torvesk::shell
