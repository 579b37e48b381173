// The About dialog: name, version and maker; OK, Escape or the close button
// end it.
#include "about_dialog.h"

#include "window.h"

namespace {

INT_PTR OnCommand(HWND dialog, WORD command) {
    if (command == IDOK || command == IDCANCEL)
        EndDialog(dialog, command);
    return TRUE;
}

} // namespace

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE; // focus on the OK button
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
