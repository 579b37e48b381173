// The start dialog: the one place the user edits the current URL. Every
// way of closing it (OK, Cancel, Escape, the close button) keeps the text.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

class StartDialog : public QDialog {
    Q_OBJECT

public:
    // Shows url, bytes in code page 932.
    StartDialog(const std::string& url, QWidget* parent);

    // The field's text as code page 932 bytes: at most 255, never half of a
    // double-byte character.
    std::string UrlBytes() const;

private:
    QLineEdit* urlField_;
};
