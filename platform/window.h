// The window-manager calls the shell makes: window classes and windows with a
// window procedure, the per-thread message queue and its loop, timers, modal
// dialogs built from dialog templates, and the message box. Only what the
// program uses exists; host headers stay out of here.
#pragma once

#include "win_types.h"

using UINT_PTR = std::uintptr_t;

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000f;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_LBUTTONDOWN = 0x0201;

constexpr WPARAM MK_LBUTTON = 0x0001;

// Dialog command ids and message box results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message box buttons and icons.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

// Class styles (the client is always repainted whole, so both are accepted
// and need no further work).
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;

// Window styles: a resizable frame with caption, system menu and the
// minimise and maximise boxes.
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00cf0000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// Handles of the system icon, cursor and stock brush the class record names.
struct SystemImage;
struct StockBrush;
using HICON = const SystemImage*;
using HCURSOR = const SystemImage*;
using HBRUSH = const StockBrush*;
using HGDIOBJ = const void*;
using HMENU = const void*;

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;

// A resource named by number travels in a string pointer, as resource ids do.
inline const char* MAKEINTRESOURCEA(WORD id) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}
inline bool IS_INTRESOURCE(const char* name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}
inline const char* const IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline const char* const IDC_ARROW = MAKEINTRESOURCEA(32512);

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD time);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName; // a menu id from MAKEINTRESOURCEA, or null
    const char* lpszClassName;
    HICON hIconSm;
};

// Classes and windows. Class names compare exactly; the menu comes from the
// class's instance. WM_CREATE reaches the procedure before CreateWindowExA
// returns; a result of -1 fails the creation.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
// Sends WM_DESTROY, stops the window's timers and drops its pending messages.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// WM_CLOSE destroys the window; everything else returns 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HGDIOBJ GetStockObject(int object);

// The queue. GetMessageA takes no filters (window and range must be null and
// 0): it returns the oldest posted message, else a WM_TIMER of a timer that
// has come due, else waits on the host's events; 0 means WM_QUIT.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);

// A timer whose ticks come out of GetMessageA as WM_TIMER (wParam = id) for
// the window. While one tick waits to be taken, further ticks of that timer
// are merged into it. Only window timers without a callback exist; setting
// an id again restarts that timer with the new period.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback);

// Modal: runs the message loop until a button is chosen. Text and caption
// are code page 932.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// Modal dialog from the instance's template; runs the message loop until
// EndDialog and returns its result, or -1 when there is no such template.
INT_PTR DialogBoxParamA(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC procedure,
                        LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
// Control texts in code page 932. GetDlgItemTextA stores at most limit - 1
// bytes and the terminator, never half a double-byte character, and returns
// the number of bytes stored.
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int limit);
