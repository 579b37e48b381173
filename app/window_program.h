// The window's own program, torvesk-window: a crawl without a window never
// loads Qt Widgets, Qt Gui or a window system's libraries, so the window
// lives in an executable of its own that torvesk hands over to.
#pragma once

namespace torvesk::app {

// Replaces this process with the window program, given argv unchanged (Qt's
// own options included, argv[0] too, so the window keeps the name the
// desktop knows it by). Returns only when it could not be started, with the
// exit status, after one line on standard error saying why.
int StartWindowProgram(char** argv);

} // namespace torvesk::app
