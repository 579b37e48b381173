// The main window: its class, its creation and its window procedure, which
// turns menu commands, timer ticks, paints and closing into calls of the
// crawl engine and the Canvas.
#pragma once

#include "window.h"

constexpr const char kMainClassName[] = "zize02";
constexpr const char kMainWindowTitle[] = "Torvesk";

// The handles the shell keeps once known.
struct ShellState {
    HINSTANCE instance;
    HWND mainWindow;
};

extern ShellState g_shell;
extern WNDCLASSEXA wc;

// The class atom, 0 on failure.
ATOM RegisterMainClass(HINSTANCE instance);
// Creates (running WM_CREATE), shows and updates the main window; 1 on
// success, 0 on failure.
BOOL CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
