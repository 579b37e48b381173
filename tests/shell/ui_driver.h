// Driving the program from inside a test: actions scheduled on the event
// loop (so they run while a modal dialog or message box holds the loop),
// the message loop run for a while, and typing and clicking into dialogs.
#pragma once

#include "window.h"

#include <QString>

#include <functional>

class QLineEdit;
class QMainWindow;
class QWidget;

constexpr int kActionTimeoutMs = 10000;

// Runs action once condition holds, polled from the event loop. On time-out
// the test fails and action runs anyway, so no modal loop is left waiting.
void WhenTrue(std::function<bool()> condition, std::function<void()> action,
              int timeoutMs = kActionTimeoutMs);
// Runs action on the modal dialog or message box as soon as one shows.
void WhenModalShows(std::function<void(QWidget*)> action);
// Forgets every action not yet run (between tests).
void CancelPendingActions();

// Runs the message loop until condition holds; false on time-out. A WM_QUIT
// taken on the way is posted again and ends the run.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = kActionTimeoutMs);
// Takes every queued message without dispatching it; returns the exit code
// of a WM_QUIT among them, or -1 when there was none.
int DrainMessages();

QLineEdit* UrlField(QWidget* dialog);
void TypeText(QWidget* target, const QString& text);
void PressKey(QWidget* target, int key);
void ClickButton(QWidget* dialog, int id);
// Clicks a message box's standard button (QMessageBox::StandardButton).
void ClickBoxButton(QWidget* box, int standardButton);
// Triggers the menu entry with this text, as choosing it would.
void ChooseMenuEntry(QMainWindow* frame, const QString& text);
