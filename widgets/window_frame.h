#pragma once

#include <QMargins>

class QWidget;

namespace grainlink {

// The frame (title bar and borders) around a top-level window. A window just shown may not have
// been framed by the window system yet, and until then Qt reports no frame; it will get the
// frame the other windows have, and the main window has been framed long since. So until its
// own is known, the tallest frame of a shown window stands for it (none when no window is
// framed, as on a platform without frames).
QMargins WindowFrame(const QWidget* window);
// Whether the window system has told the window's own frame, or no window has one to tell.
bool WindowFrameKnown(const QWidget* window);

}  // namespace grainlink
