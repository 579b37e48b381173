// The colour of the frame that shows where the keyboard's focus is: the
// desktop's highlight where it stands out at least 3:1 (WCAG's contrast for
// a focus indicator) from both the black results screen and the white
// beyond it, else a blue that does.
#pragma once

#include <QColor>

namespace torvesk::shell {

QColor FocusMarkColour(const QColor& highlight);

} // namespace torvesk::shell
