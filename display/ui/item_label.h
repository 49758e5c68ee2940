#pragma once

#include <QColor>
#include <QLabel>

#include "state/item_table.h"

namespace grainlink {

// 0x00BBGGRR, the colour encoding of the item tables, as a Qt colour.
QColor ToQColor(Colour colour);

// A value label on a data window: it always shows its item's current text and, for items with a
// colour of their own, the item's background colour; everything else is a plain value box (black
// on white under a light palette). It carries the
// item name as object name and accessible name, so that automation finds it the way a DDE
// client names the item, and its accessible description follows the text shown.
class ItemLabel : public QLabel {
    Q_OBJECT

public:
    ItemLabel(ItemTable& items, Item item, QWidget* parent);

private:
    void ShowText(const QString& text);
    void ShowColour(Colour colour);

    Item m_item;
};

}  // namespace grainlink
