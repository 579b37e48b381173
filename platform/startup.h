// What runs before a windowed program's entry function: the host's
// application object, which must outlive every window.
#pragma once

#include "window.h"

using EntryFunction = int (*)(HINSTANCE instance, int showCommand);

// Returns what entry returns.
int RunWindowsProgram(int argc, char** argv, HINSTANCE instance, int showCommand,
                      EntryFunction entry);
