// A fetch's failure line, as the engine reports it in English for standard
// error ("fetching URL failed: could not connect"), in the window's words:
// the engine's fixed causes are the keys, each worded in the window's
// language; a cause the window has no words for is shown as reported.
#pragma once

#include <QString>

#include <string>

namespace torvesk::shell {

QString FailureInWords(const std::string& line);

} // namespace torvesk::shell
