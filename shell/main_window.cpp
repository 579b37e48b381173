// The main window's class, creation and procedure.
#include "main_window.h"

#include "about_dialog.h"
#include "canvas.h"
#include "crawl_step.h"
#include "resources.h"
#include "start_dialog.h"

ShellState g_shell;
WNDCLASSEXA wc;

namespace {

void ShowStartDialog(HWND window) {
    DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(ID_DIALOG_START), window, StartDialogProc,
                    0);
}

void ShowAboutDialog(HWND window) {
    DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(ID_DIALOG_ABOUT), window, AboutDialogProc,
                    0);
}

// The order matters: the Canvas exists before the first paint, the dialog
// shows the default URL, and ticks start only once the dialog has closed.
LRESULT OnCreate(HWND window) {
    g_canvas.Init(window, kCanvasWidth, kCanvasHeight);
    CrawlInit();
    ShowStartDialog(window);
    SetTimer(window, ID_TIMER_CRAWL, kCrawlPeriodMs, nullptr);
    return 0;
}

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

LRESULT OnPaint(HWND window) {
    g_canvas.Paint(window);
    return 0;
}

LRESULT OnClose(HWND window) {
    if (MessageBoxA(window, kQuitQuestion, kQuitCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        DestroyWindow(window);
    return 0;
}

LRESULT OnCommand(HWND window, WORD command) {
    switch (command) {
    case ID_MENU_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case ID_MENU_START:
        StartCrawl(window);
        break;
    case ID_MENU_RESET:
        ShowStartDialog(window);
        break;
    case ID_MENU_ABOUT:
        ShowAboutDialog(window);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnTimer(HWND window) {
    CrawlTick(window);
    return 0;
}

} // namespace

ATOM RegisterMainClass(HINSTANCE instance) {
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(ID_MENU_MAIN);
    wc.lpszClassName = kMainClassName;
    wc.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    return RegisterClassExA(&wc);
}

BOOL CreateMainWindow(HINSTANCE instance, int showCommand) {
    HWND window = CreateWindowExA(0, kMainClassName, kMainWindowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return FALSE;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    g_shell.mainWindow = window;
    return TRUE;
}

LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy();
    case WM_PAINT:
        return OnPaint(window);
    case WM_CLOSE:
        return OnClose(window);
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam));
    case WM_TIMER:
        return OnTimer(window);
    case WM_LBUTTONDOWN:
        return 0; // a click does nothing
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
