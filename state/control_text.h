#pragma once

#include <QString>

namespace grainlink {

// C0 controls, DEL and the C1 controls (which some terminals obey too).
bool IsControlCharacter(char32_t c);

// The text on one line and harmless to a terminal: CR and LF written as \r and \n, every other
// control character as \xNN.
QString EscapeControls(const QString& text);

}  // namespace grainlink
