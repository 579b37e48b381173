// What assistive technology is told about the results view: read-only,
// multi-line text named by the view, holding the lines on screen top to
// bottom, one text line each, decoded as the screen decodes them; an event
// when the screen is cleared and when a line is added.
#pragma once

#include <QString>

class ResultsScreen;
class ResultsView;

// Lets Qt's accessibility find the interface for every ResultsView; calls
// after the first change nothing.
void InstallResultsViewAccessibility();

// The view's text: the lines joined by line feeds, a line break inside a
// line (a page's title may hold one) given as a space.
QString SpokenText(const ResultsScreen& screen);

// Tells assistive technology that the lines on view are about to go.
void AnnounceScreenCleared(ResultsView& view);
// Tells assistive technology of the line just added below the others.
void AnnounceLineAdded(ResultsView& view);
