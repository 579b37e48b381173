// A label of one line of plain text for the status bar, cheap to change: it
// measures a text only when it is longer than any before (a QLabel measures
// every text three times) and never asks for less room than it had, so that
// a number changing in it neither moves its neighbours nor has them
// repainted.
#pragma once

#include <QLabel>

namespace torvesk::shell {

class StatusLabel : public QLabel {
public:
    StatusLabel();

    // Shows text; an unchanged text costs nothing.
    void showText(const QString& text);

    QSize sizeHint() const override { return hint_; }
    // As narrow as the room left: a long address never widens the window.
    QSize minimumSizeHint() const override { return {1, hint_.height()}; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void measure(bool growOnly);

    QSize hint_;
    qsizetype measuredLength_ = 0; // of the longest text measured
};

} // namespace torvesk::shell
