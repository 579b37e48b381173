// What assistive technology is told about a view of the results screen:
// read-only, multi-line text named by the view, holding the lines on screen
// top to bottom, one text line each, decoded as the screen decodes them; an
// event when the screen is cleared and when a line is added.
#pragma once

#include "display/results_screen.h"

#include <QString>
class QAccessibleInterface;
class QWidget;

namespace torvesk::shell {

// The interface for view, which shows screen.
QAccessibleInterface* NewResultsAccessible(QWidget* view, const display::ResultsScreen& screen);

// The view's text: the lines joined by line feeds, a line break inside a
// line (a page's title may hold one) given as a space.
QString SpokenText(const display::ResultsScreen& screen);

// Tells assistive technology that the lines of screen on view are about to go.
void AnnounceScreenCleared(QWidget& view, const display::ResultsScreen& screen);
// Tells assistive technology of the line just added below the others.
void AnnounceLineAdded(QWidget& view, const display::ResultsScreen& screen);

} // namespace torvesk::shell
