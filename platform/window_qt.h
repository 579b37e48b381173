// The Qt side of the window layer, shared by its .cpp files only: the base of
// every window a handle can name, and the hooks between the queue, the
// timers and the windows.
#pragma once

#include "module.h"
#include "window.h"
#include "window_base.h"

#include <optional>

class QIcon;
class QMenuBar;
class QWidget;

// A live window or dialog. Handles are pointers to these; a handle is valid
// exactly while its object is registered (from construction to Retire).
class WindowBase : public PlatformWindow {
public:
    WindowBase();
    virtual ~WindowBase();

    // Runs the window's procedure (or the dialog's) for one message.
    virtual LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual QWidget* Widget() = 0;

    // Unregisters the handle: later messages to it are dropped.
    void Retire();

    HWND Handle() { return this; }
};

// The live window a handle names, or null.
WindowBase* FindWindowBase(HWND window);

// Runs GetMessageA/DispatchMessageA until done is set and returns true. A
// WM_QUIT taken on the way is posted again for the outer loop and ends the
// modal loop early (false).
bool RunModalLoop(const bool& done);

// The queue side of the timers: takes one due tick as a WM_TIMER message.
bool TakeDueTimerMessage(MSG* message);
void StopTimersOf(HWND window);
void DropMessagesFor(HWND window);

// The number a MAKEINTRESOURCEA name carries.
inline WORD ResourceId(const char* name) {
    return static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
}

// Registered classes by name, or null; a brush's colour, if it has one.
const WNDCLASSEXA* FindWindowClass(const char* name);
std::optional<COLORREF> BrushColor(HBRUSH brush);

// The system's default application icon.
QIcon ApplicationIcon();

// Fills bar with the template's menus; each entry posts WM_COMMAND with its
// id to window.
void BuildMenuBar(QMenuBar& bar, const MenuTemplate& menu, HWND window);
