// The window's remembered choices (whether the table is shown, the zoom of
// the results screen), kept in the user's configuration directory.
#pragma once

#include <QSettings>

namespace torvesk::shell {

inline constexpr char kTableShownKey[] = "window/resultsTableShown";
inline constexpr char kZoomKey[] = "window/resultsZoomPercent";

// Named here rather than by the application, so that every program that
// shows the window, tests included, keeps the same file.
inline QSettings WindowSettings() {
    return QSettings(QStringLiteral("torvesk"), QStringLiteral("window"));
}

} // namespace torvesk::shell
