// Why records cannot be written to URL.csv, in the window's words.
#pragma once

#include <QString>

namespace torvesk::shell {

// The words for error (an errno from LogFileState::writeProblem).
QString WriteProblemInWords(int error);

} // namespace torvesk::shell
