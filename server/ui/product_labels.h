#pragma once

class QLabel;
class QPixmap;
class QString;
class QWidget;

namespace grainlink {

// The labels the splash window and the about box show about the product. Each carries its name
// as object name and accessible name; a text label also its text as accessible description.
QLabel* MakeProductLabel(const char* name, const QString& text, QWidget* parent);
QLabel* MakePictureLabel(const char* name, const QPixmap& picture, QWidget* parent);
// The same label, larger and bold: the product name heading the window.
QLabel* MakeProductHeading(const char* name, const QString& text, QWidget* parent);

}  // namespace grainlink
