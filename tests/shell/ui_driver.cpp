// Test-side actions on the event loop, loop pumping and dialog input.
#include "ui_driver.h"

#include "resources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kPollMs = 10;
constexpr UINT kEndOfQueue = 0x7fff; // a private message no window uses

std::vector<QPointer<QTimer>> g_pendingPolls;

} // namespace

void WhenTrue(std::function<bool()> condition, std::function<void()> action, int timeoutMs) {
    auto* poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        bool ready = condition();
        if (!ready && clock->elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
        if (!ready)
            ADD_FAILURE() << "timed out waiting for a condition";
        action();
    });
    poll->start(kPollMs);
    g_pendingPolls.emplace_back(poll);
}

void WhenModalShows(std::function<void(QWidget*)> action) {
    auto modal = [] {
        QWidget* widget = QApplication::activeModalWidget();
        return widget && widget->isVisible();
    };
    WhenTrue(modal, [action, modal] {
        if (modal())
            action(QApplication::activeModalWidget());
    });
}

void CancelPendingActions() {
    for (QPointer<QTimer>& poll : g_pendingPolls)
        delete poll.data();
    g_pendingPolls.clear();
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    QTimer wake; // GetMessageA returns at least this often
    QObject::connect(&wake, &QTimer::timeout, [] { PostMessageA(nullptr, WM_NULL, 0, 0); });
    wake.start(kPollMs);
    QElapsedTimer clock;
    clock.start();
    MSG message{};
    while (!condition() && clock.elapsed() < timeoutMs) {
        if (!GetMessageA(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        DispatchMessageA(&message);
    }
    return condition();
}

int DrainMessages() {
    int exitCode = -1;
    PostMessageA(nullptr, kEndOfQueue, 0, 0);
    MSG message{};
    for (GetMessageA(&message, nullptr, 0, 0); message.message != kEndOfQueue;
         GetMessageA(&message, nullptr, 0, 0)) {
        if (message.message == WM_QUIT)
            exitCode = static_cast<int>(message.wParam);
    }
    return exitCode;
}

QLineEdit* UrlField(QWidget* dialog) {
    return dialog->findChild<QLineEdit*>(QString::number(ID_EDIT_URL));
}

void TypeText(QWidget* target, const QString& text) {
    for (QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(target, &press);
    }
}

void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void ClickButton(QWidget* dialog, int id) {
    auto* button = dialog->findChild<QPushButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << "no button " << id;
    button->click();
}

void ClickBoxButton(QWidget* box, int standardButton) {
    auto* messageBox = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(messageBox, nullptr) << "not a message box";
    messageBox->button(static_cast<QMessageBox::StandardButton>(standardButton))->click();
}

void ChooseMenuEntry(QMainWindow* frame, const QString& text) {
    ASSERT_NE(frame, nullptr);
    for (QAction* menu : frame->menuBar()->actions()) {
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->text() == text) {
                entry->trigger();
                return;
            }
        }
    }
    ADD_FAILURE() << "no menu entry " << text.toStdString();
}
