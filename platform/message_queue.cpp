// The thread's message queue and loop: posting, sending, taking messages
// while Qt's own events are pumped, dispatching to window procedures, and
// the modal loop that dialogs and message boxes share.
#include "window_qt.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <algorithm>
#include <deque>

namespace {

thread_local std::deque<MSG> t_posted;

void WakeEventLoop() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

bool TakePostedMessage(MSG* message) {
    if (t_posted.empty())
        return false;
    *message = t_posted.front();
    t_posted.pop_front();
    return true;
}

// Waits for Qt events and handles them; they may post messages or make
// timers due. Windows destroyed meanwhile are freed here too.
void PumpHostEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* target = FindWindowBase(window);
    return target ? target->Deliver(message, wParam, lParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !FindWindowBase(window))
        return FALSE;
    t_posted.push_back(MSG{window, message, wParam, lParam});
    WakeEventLoop();
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

void DropMessagesFor(HWND window) {
    std::erase_if(t_posted, [window](const MSG& message) { return message.hwnd == window; });
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT) {
    while (!TakePostedMessage(message) && !TakeDueTimerMessage(message))
        PumpHostEvents();
    return message->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE; // Qt delivers typed characters itself
}

LRESULT DispatchMessageA(const MSG* message) {
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

bool RunModalLoop(const bool& done) {
    MSG message{};
    while (!done) {
        if (!GetMessageA(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}
