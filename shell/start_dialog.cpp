// The start dialog: the one place the user edits the current URL.
#include "start_dialog.h"

#include "crawl_state.h"
#include "resources.h"
#include "window.h"

namespace {

INT_PTR OnInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, ID_EDIT_URL, g_crawlState.currentUrl);
    return FALSE; // leave the focus where the platform puts it
}

// Cancel stores the text too: the dialog only ever edits the URL.
INT_PTR OnCommand(HWND dialog, WORD command) {
    if (command != IDOK && command != IDCANCEL)
        return FALSE;
    GetDlgItemTextA(dialog, ID_EDIT_URL, g_crawlState.currentUrl, kUrlCapacity);
    EndDialog(dialog, command);
    return FALSE;
}

} // namespace

INT_PTR StartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
