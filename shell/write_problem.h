// Why records cannot be written to URL.csv, in the window's words.
#pragma once

#include <QString>

// The words for error (an errno from LogFileState::writeProblem).
QString WriteProblemInWords(int error);
