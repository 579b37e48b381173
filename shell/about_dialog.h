// The About dialog's procedure: an OK button and nothing else.
#pragma once

#include "win_types.h"

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
