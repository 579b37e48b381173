// Driving the program from inside a test: actions scheduled on the event
// loop (so they run while a modal dialog or message box holds it), and
// finding and clicking the dialogs' buttons and the menu's entries.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QLineEdit;
class QMainWindow;
class QWidget;

constexpr int kActionTimeoutMs = 10000;

// Actions waiting on the event loop for their moment. Those not yet run when
// this goes away are dropped, so none outlives the test that set it.
class PendingActions {
public:
    PendingActions() = default;
    ~PendingActions();
    PendingActions(const PendingActions&) = delete;
    PendingActions& operator=(const PendingActions&) = delete;

    // Runs action once condition holds, polled from the event loop. On
    // time-out the test fails and action runs anyway, so no modal loop is
    // left waiting.
    void WhenTrue(std::function<bool()> condition, std::function<void()> action,
                  int timeoutMs = kActionTimeoutMs);
    // Runs action on the modal dialog or message box as soon as one shows.
    void WhenModalShows(std::function<void(QWidget*)> action);

private:
    std::vector<QPointer<QTimer>> polls_;
};

QLineEdit* UrlField(QWidget* dialog);
// Clicks the dialog's push button with this text ("OK", "キャンセル").
void ClickButton(QWidget* dialog, const QString& text);
// Clicks a message box's standard button (QMessageBox::StandardButton).
void ClickBoxButton(QWidget* box, int standardButton);
// Triggers the menu entry with this text, as choosing it would.
void ChooseMenuEntry(QMainWindow* frame, const QString& text);
