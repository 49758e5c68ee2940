#include "display/ui/item_label.h"

#include "widgets/role_colours.h"

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
    // White stands for "no signal colour": a plain value box, which follows the palette.
    const RoleColours plain = ColoursFor(ColourRole::Value);
    const QColor background = colour == kWhite ? plain.background : ToQColor(colour);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, colour == kWhite ? plain.text : TextOn(background));
    setPalette(palette);
}

}  // namespace grainlink
