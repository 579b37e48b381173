// Torvesk's main: the platform's start-up, then the entry function with the
// program's resources.
#include "app_main.h"
#include "resources.h"
#include "startup.h"

int main(int argc, char** argv) {
    return RunWindowsProgram(argc, argv, &g_module, SW_SHOWDEFAULT, AppMain);
}
