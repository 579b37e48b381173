// Measuring a status label's text.
#include "shell/status_label.h"

#include <QEvent>

#include <algorithm>

namespace torvesk::shell {

StatusLabel::StatusLabel() {
    setTextFormat(Qt::PlainText); // addresses and failure lines come from the web
    measure(false);
}

// From one refresh to the next only digits change in a text, and digits are
// as wide as each other in desktop fonts: only a longer text than any
// measured so far is measured.
void StatusLabel::showText(const QString& text) {
    if (text == this->text())
        return;
    setText(text);
    if (text.size() > measuredLength_)
        measure(true);
}

// A new font (a screen of another scale) measures anew, smaller too.
void StatusLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measure(false);
        updateGeometry();
    }
}

// A label that takes whatever room is left has no width of its own to ask
// for, and its text is not measured.
void StatusLabel::measure(bool growOnly) {
    const QFontMetrics metrics = fontMetrics();
    const bool stretches = sizePolicy().horizontalPolicy() == QSizePolicy::Ignored;
    const int width = stretches ? 0 : metrics.horizontalAdvance(text());
    hint_ = QSize(growOnly ? std::max(width, hint_.width()) : width, metrics.height());
    measuredLength_ = growOnly ? std::max(measuredLength_, text().size()) : text().size();
}

} // namespace torvesk::shell
