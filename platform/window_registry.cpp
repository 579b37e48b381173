// Which handles name live windows, so that messages to a destroyed window
// are dropped instead of reaching freed memory.
#include "window_qt.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<WindowBase*> g_liveWindows;

} // namespace

WindowBase::WindowBase() {
    g_liveWindows.push_back(this);
}

WindowBase::~WindowBase() {
    Retire();
}

void WindowBase::Retire() {
    std::erase(g_liveWindows, this);
}

WindowBase* FindWindowBase(HWND window) {
    auto named = [window](WindowBase* live) { return live->Handle() == window; };
    auto found = std::find_if(g_liveWindows.begin(), g_liveWindows.end(), named);
    return found == g_liveWindows.end() ? nullptr : *found;
}

BOOL IsWindow(HWND window) {
    return FindWindowBase(window) ? TRUE : FALSE;
}
