// Test-side actions on the event loop, and clicks on dialogs and menus.
#include "shell/ui_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPollMs = 10;

} // namespace

PendingActions::~PendingActions() {
    for (QPointer<QTimer>& poll : polls_)
        delete poll.data();
}

void PendingActions::WhenTrue(std::function<bool()> condition, std::function<void()> action,
                              int timeoutMs) {
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
    polls_.emplace_back(poll);
}

void PendingActions::WhenModalShows(std::function<void(QWidget*)> action) {
    auto modal = [] {
        QWidget* widget = QApplication::activeModalWidget();
        return widget && widget->isVisible();
    };
    WhenTrue(modal, [action, modal] {
        if (modal())
            action(QApplication::activeModalWidget());
    });
}

QLineEdit* UrlField(QWidget* dialog) {
    return dialog->findChild<QLineEdit*>();
}

void ClickButton(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

void ClickBoxButton(QWidget* box, int standardButton) {
    auto* messageBox = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(messageBox, nullptr) << "not a message box";
    QTest::mouseClick(messageBox->button(static_cast<QMessageBox::StandardButton>(standardButton)),
                      Qt::LeftButton);
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
