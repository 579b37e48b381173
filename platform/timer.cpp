// Window timers on QTimer. A tick only marks its timer due; GetMessageA turns
// a due timer into one WM_TIMER when no posted message waits. So however
// long a handler blocks the loop, each timer has at most one tick pending.
#include "window_qt.h"

#include <QTimer>

#include <algorithm>
#include <climits>
#include <list>
#include <memory>

namespace {

constexpr UINT kShortestPeriodMs = 10; // shorter periods would starve the loop

struct WindowTimer {
    HWND window;
    UINT_PTR id;
    std::unique_ptr<QTimer> timer;
    bool due = false;
};

// A list keeps entries in place, so the timeout handlers can point at them.
thread_local std::list<WindowTimer> t_timers;

WindowTimer* FindTimer(HWND window, UINT_PTR id) {
    for (WindowTimer& entry : t_timers)
        if (entry.window == window && entry.id == id)
            return &entry;
    return nullptr;
}

WindowTimer& AddTimer(HWND window, UINT_PTR id) {
    WindowTimer& entry = t_timers.emplace_back(window, id, std::make_unique<QTimer>());
    QObject::connect(entry.timer.get(), &QTimer::timeout, [&entry] { entry.due = true; });
    return entry;
}

} // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback) {
    if (callback || !FindWindowBase(window))
        return 0;
    WindowTimer* entry = FindTimer(window, id);
    if (!entry)
        entry = &AddTimer(window, id);
    entry->due = false;
    UINT period = std::clamp(milliseconds, kShortestPeriodMs, static_cast<UINT>(INT_MAX));
    entry->timer->start(static_cast<int>(period));
    return id;
}

bool TakeDueTimerMessage(MSG* message) {
    for (WindowTimer& entry : t_timers) {
        if (entry.due) {
            entry.due = false;
            *message = MSG{entry.window, WM_TIMER, entry.id, 0};
            return true;
        }
    }
    return false;
}

void StopTimersOf(HWND window) {
    t_timers.remove_if([window](const WindowTimer& entry) { return entry.window == window; });
}
