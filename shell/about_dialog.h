// The About dialog: the program's icon, name and version, and its makers.
#pragma once

#include <QDialog>

namespace torvesk::shell {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
};

} // namespace torvesk::shell
