#include "display/ui/item_label.h"

namespace grainlink {

QColor ToQColor(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

ItemLabel::ItemLabel(ItemTable& items, Item item, QWidget* parent) : QLabel(parent), m_item(item)
{
    setObjectName(ItemName(item));
    setAccessibleName(ItemName(item));
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    ShowText(items.text(item));
    ShowColour(items.colour(item));
    connect(&items, &ItemTable::textChanged, this, [this](Item changed, const QString& text) {
        if (changed == m_item) ShowText(text);
    });
    connect(&items, &ItemTable::colourChanged, this, [this](Item changed, Colour colour) {
        if (changed == m_item) ShowColour(colour);
    });
}

void ItemLabel::ShowText(const QString& text)
{
    setText(text);
    setAccessibleDescription(text);
}

void ItemLabel::ShowColour(Colour colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    setPalette(palette);
}

}  // namespace grainlink
