// The start dialog: the one place the user edits the current URL. Every
// way of closing it (OK, Cancel, Escape, the close button) keeps the text.
#pragma once

#include <QDialog>

#include <string>
class QLineEdit;

namespace torvesk::shell {

class StartDialog : public QDialog {
    Q_OBJECT

public:
    // Shows url, whose bytes are code page 932, UTF-8 or neither.
    StartDialog(std::string url, QWidget* parent);

    // The bytes behind the field's text: the shown URL's own bytes wherever
    // the user left it as it was, typed text in code page 932 (UTF-8 where
    // only that shows it as typed); at most 255, never part of a character.
    std::string UrlBytes() const;

private:
    std::string shownUrl_;
    QLineEdit* urlField_;
};

} // namespace torvesk::shell
