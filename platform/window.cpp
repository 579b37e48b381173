// Top-level windows: a QMainWindow with the class menu over a client area
// that paints through the window procedure, and the calls that create, show,
// update and destroy them.
#include "cp932.h"
#include "window_qt.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstring>

namespace {

// Default client size: room for a 1200 x 800 results screen.
constexpr int kDefaultClientWidth = 1200;
constexpr int kDefaultClientHeight = 800;
// Title bar and borders, unknown before the window is shown.
constexpr int kFrameAllowance = 64;
constexpr LRESULT kCreateFailed = -1;

class MainFrame final : public QMainWindow, public WindowBase {
public:
    explicit MainFrame(const WNDCLASSEXA& windowClass);

    LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) override {
        return procedure_(Handle(), message, wParam, lParam);
    }
    QWidget* Widget() override { return this; }
    void requestRepaint() override { centralWidget()->update(); }

    void PaintClient(QPainter& painter);

protected:
    // The procedure decides whether the window closes (WM_CLOSE).
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        SendMessageA(Handle(), WM_CLOSE, 0, 0);
    }

private:
    WNDPROC procedure_;
    std::optional<COLORREF> background_;
};

class ClientArea final : public QWidget {
public:
    explicit ClientArea(MainFrame& frame) : QWidget(&frame), frame_(frame) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        frame_.PaintClient(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        QPoint at = event->position().toPoint();
        PostMessageA(frame_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
    }

private:
    MainFrame& frame_;
};

MainFrame::MainFrame(const WNDCLASSEXA& windowClass)
    : procedure_(windowClass.lpfnWndProc), background_(BrushColor(windowClass.hbrBackground)) {
    setCentralWidget(new ClientArea(*this));
    if (windowClass.hIcon)
        setWindowIcon(ApplicationIcon());
    const char* menuName = windowClass.lpszMenuName;
    if (menuName && IS_INTRESOURCE(menuName))
        if (const MenuTemplate* menu = FindMenu(windowClass.hInstance, ResourceId(menuName)))
            BuildMenuBar(*menuBar(), *menu, Handle());
}

QColor ToQColor(COLORREF color) {
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

// The painter is lent to the procedure for the length of WM_PAINT.
void MainFrame::PaintClient(QPainter& painter) {
    if (background_)
        painter.fillRect(painter.window(), ToQColor(*background_));
    activePainter = &painter;
    Deliver(WM_PAINT, 0, 0);
    activePainter = nullptr;
}

QSize DefaultFrameSize(QMainWindow& frame) {
    int menuHeight = frame.menuWidget() ? frame.menuWidget()->sizeHint().height() : 0;
    QSize wanted(kDefaultClientWidth, kDefaultClientHeight + menuHeight);
    QScreen* screen = frame.screen();
    if (!screen)
        return wanted;
    QSize room = screen->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance);
    return wanted.boundedTo(room);
}

void PlaceFrame(QMainWindow& frame, int x, int y, int width, int height) {
    if (x != CW_USEDEFAULT && y != CW_USEDEFAULT)
        frame.move(x, y);
    if (width == CW_USEDEFAULT || height == CW_USEDEFAULT)
        frame.resize(DefaultFrameSize(frame));
    else
        frame.resize(std::max(width, 1), std::max(height, 1));
}

} // namespace

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
    const WNDCLASSEXA* windowClass = FindWindowClass(className);
    if (!windowClass)
        return nullptr;
    auto* frame = new MainFrame(*windowClass);
    HWND window = frame->Handle();
    if (title)
        frame->setWindowTitle(QString::fromStdString(Cp932ToUtf8(title, std::strlen(title))));
    PlaceFrame(*frame, x, y, width, height);
    if (frame->Deliver(WM_CREATE, 0, 0) == kCreateFailed) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

BOOL ShowWindow(HWND window, int command) {
    WindowBase* target = FindWindowBase(window);
    if (!target)
        return FALSE;
    QWidget* widget = target->Widget();
    BOOL wasVisible = widget->isVisible() ? TRUE : FALSE;
    switch (command) {
    case SW_HIDE:
        widget->hide();
        break;
    case SW_SHOWMINIMIZED:
        widget->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        widget->showMaximized();
        break;
    default:
        widget->show();
        break;
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    WindowBase* target = FindWindowBase(window);
    if (!target)
        return FALSE;
    if (target->Widget()->isVisible())
        target->Widget()->repaint();
    return TRUE;
}

BOOL DestroyWindow(HWND window) {
    WindowBase* target = FindWindowBase(window);
    if (!target)
        return FALSE;
    target->Widget()->hide();
    target->Deliver(WM_DESTROY, 0, 0);
    StopTimersOf(window);
    DropMessagesFor(window);
    target->Retire();
    // Its own event handler may be what called us: free it from the loop.
    target->Widget()->deleteLater();
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}
