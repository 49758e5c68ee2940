#pragma once

#include <QImage>
#include <QPixmap>
#include <QStringList>

namespace grainlink {

class MessageBox;

// The program's own picture of an instrument on a flow line, drawn rather than stored, so the
// splash window and the about box always have one.
QImage BuiltInProductPicture();

// Where "Splash.bmp" is looked for: beside the executable, then in the installed data folder
// (<prefix>/share/grainlink beside <prefix>/bin).
QStringList ProductPictureFolders();

// The picture of the splash window and the about box: the first "Splash.bmp" found in the
// folders. When there is none, or it cannot be read, the user is told "Unable to load
// Splash.bmp file." (no icon) and the built-in picture is used.
QPixmap LoadProductPicture(const QStringList& folders, MessageBox& messages, const QString& title);

}  // namespace grainlink
