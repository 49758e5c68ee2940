#pragma once

#include <QRect>
#include <QString>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QWidget;

namespace grainlink {

// How dialogs build their controls: each at its design rectangle in twips, with its name as
// object name, and the name also as accessible name where the control has no caption of its own
// to be found by.

// The name of element `index` of a control array, as "cmb_port(2)".
QString ArrayName(const char* name, int index);

// Names and places a control.
QWidget* Place(QWidget* control, const QString& name, const QRect& twips);
// The same for a control without a caption of its own (text box, combo box, spin button).
QWidget* PlaceUncaptioned(QWidget* control, const QString& name, const QRect& twips);

// A caption label; word-wrapped when its rectangle holds more than one line.
QLabel* AddCaption(QWidget* parent, const QString& name, const QString& text, const QRect& twips,
                   bool wrap = false);
// A sunken label that shows a value. SetValueText shows a text too long for it with an ellipsis
// in the middle, and keeps the whole text as its tooltip and accessible description.
QLabel* AddValueLabel(QWidget* parent, const QString& name, const QRect& twips);
void SetValueText(QLabel* label, const QString& text);

// A password box: every character typed shows as "*", whatever the style would use.
void MaskAsPassword(QLineEdit* box);

// Gives the dialog its menu bar with the single command mnu_close "Close" (Alt+C) above the
// client area, whose design size (in twips) is the dialog's size. Escape cancels the dialog
// wherever the focus is, the menu bar included.
QAction* AddCloseMenu(QDialog* dialog, QWidget* client);

// A fixed-size dialog with a title bar and a close box only, in the design font.
void MakeFixedDialog(QDialog* dialog, const char* name, const QString& caption);
// The text size the twips layouts are designed for, whatever the system's font size: a larger
// system font would cut the texts of a window laid out in twips.
void UseDesignFont(QWidget* window);

}  // namespace grainlink
