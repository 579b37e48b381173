// Showing results lines and painting the results screen.
#include "shell/results_view.h"

#include "shell/focus_mark.h"
#include "shell/results_view_accessible.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>

using namespace torvesk::display;
using namespace torvesk::engine;

namespace torvesk::shell {

namespace {

// Logical pixels: wide enough to be seen at a glance.
constexpr int kFocusMarkWidth = 2;

QAccessibleInterface* ResultsViewFactory(const QString&, QObject* object) {
    auto* view = qobject_cast<ResultsView*>(object);
    return view ? NewResultsAccessible(view, view->screen()) : nullptr;
}

// Lets Qt's accessibility find the interface of every ResultsView.
void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ResultsViewFactory);
        return true;
    }();
    (void)installed;
}

} // namespace

ResultsView::ResultsView(QWidget* parent) : QWidget(parent) {
    InstallAccessibility();
    setAccessibleName(tr("解析結果"));
    // Reached with Tab, so a screen reader can land on the lines; a click
    // still changes nothing.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);       // every pixel is painted below
    setMinimumSize(kCanvasWidth, kCanvasHeight); // a scroll area shows what does not fit
}

QSize ResultsView::sizeHint() const {
    return zoomedSize();
}

QSize ResultsView::zoomedSize() const {
    return QSize(kCanvasWidth, kCanvasHeight) * zoomPercent_ / 100;
}

void ResultsView::setZoom(int percent) {
    zoomPercent_ = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    setMinimumSize(zoomedSize());
    updateGeometry();
    update();
}

void ResultsView::showLine(const ResultsLine& line) {
    if (line.clearsScreen)
        AnnounceScreenCleared(*this, screen_);
    screen_.ShowLine(line.row, line.clearsScreen, line.text.c_str());
    AnnounceLineAdded(*this, screen_);
    update();
}

// A window that moved to a screen of another ratio paints at that ratio,
// and a zoom multiplies it: the screen is drawn anew at that ratio first,
// so that every device pixel is drawn, none stretched.
void ResultsView::paintEvent(QPaintEvent*) {
    const double zoom = zoomPercent_ / 100.0;
    screen_.SetDevicePixelRatio(devicePixelRatioF() * zoom);
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.save();
    painter.scale(zoom, zoom);
    screen_.canvas().Paint(painter);
    painter.restore();
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusMark(painter);
}

// Tab that finds no other stop leaves the focus here; the mark then shows
// where it is.
bool ResultsView::focusNextPrevChild(bool next) {
    const bool handled = QWidget::focusNextPrevChild(next);
    if (hasFocus()) {
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        update();
    }
    return handled;
}

// A frame two pixels wide on the view's edge, over the screen's outermost
// pixels, only while the keyboard has brought the focus here; the results
// screen itself is left as it is.
void ResultsView::paintFocusMark(QPainter& painter) {
    const QColor mark = FocusMarkColour(palette().color(QPalette::Highlight));
    const QRect edge = rect();
    painter.fillRect(edge.left(), edge.top(), edge.width(), kFocusMarkWidth, mark);
    painter.fillRect(edge.left(), edge.bottom() - kFocusMarkWidth + 1, edge.width(),
                     kFocusMarkWidth, mark);
    painter.fillRect(edge.left(), edge.top(), kFocusMarkWidth, edge.height(), mark);
    painter.fillRect(edge.right() - kFocusMarkWidth + 1, edge.top(), kFocusMarkWidth, edge.height(),
                     mark);
}

} // namespace torvesk::shell
