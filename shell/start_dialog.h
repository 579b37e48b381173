// The start dialog's procedure: shows the current URL and stores whatever
// the field holds when the dialog closes, by either button.
#pragma once

#include "win_types.h"

INT_PTR StartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
