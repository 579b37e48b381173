// The program's entry function: register, create, loop.
#pragma once

#include "window.h"

// The message record of the loop; after the loop, the quit message.
extern MSG msg;

// Returns the exit code the quit message carries (0), or 0 at once when the
// class or the window cannot be made.
int AppMain(HINSTANCE instance, int showCommand);
