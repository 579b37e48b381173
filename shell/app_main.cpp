// The entry function and the program's message loop.
#include "app_main.h"

#include "main_window.h"

MSG msg;

namespace {

int RunMessageLoop() {
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int AppMain(HINSTANCE instance, int showCommand) {
    g_shell.instance = instance;
    if (!RegisterMainClass(instance))
        return 0;
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    return RunMessageLoop();
}
