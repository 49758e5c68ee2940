#include "state/item_table.h"

#include <algorithm>

#include <stdexcept>

namespace grainlink {
namespace {

constexpr std::array<const char*, kItemCount> kNames = {
    "SystemID", "NodeID", "SerialNo", "Firmware", "SampleTime",
    "Chan1Duty", "Chan2Duty", "Chan3Duty", "Chan4Duty", "Chan1Event", "Chan4Event",
    "txt_flow_factor",
    "Counts4um", "Counts6um", "Counts14um", "Counts21um",
    "ISOCode4um", "ISOCode6um", "ISOCode14um", "ISOCode21um",
    "LaserCurrent", "DiodePower", "Temperature", "FlowIndex",
    "status", "lbl_error",
    "LaserLow", "LaserHigh", "RcvPwrLo", "RcvPwrHi", "TempLow", "TempHigh", "Concentration", "Flow",
};

int Index(Item item)
{
    return static_cast<int>(item);
}

}  // namespace

const std::array<Item, kItemCount>& AllItems()
{
    static const std::array<Item, kItemCount> items = [] {
        std::array<Item, kItemCount> a{};
        for (int i = 0; i < kItemCount; ++i) a[i] = static_cast<Item>(i);
        return a;
    }();
    return items;
}

QString ItemName(Item item)
{
    return QString::fromLatin1(kNames[Index(item)]);
}

std::optional<Item> ItemFromName(const QString& name)
{
    for (Item item : AllItems())
        if (name == QLatin1String(kNames[Index(item)])) return item;
    return std::nullopt;
}

bool HasColour(Item item)
{
    return item == Item::status ||
           std::find(kAlarmFlags.begin(), kAlarmFlags.end(), item) != kAlarmFlags.end();
}

ItemTable::ItemTable(int unit, QObject* parent) : QObject(parent), m_unit(unit)
{
    m_colours.fill(kWhite);
    // The texts the window shows before the first record.
    m_texts[Index(Item::SystemID)] = QStringLiteral("FFFF");
    m_texts[Index(Item::NodeID)] = QStringLiteral("FF");
    m_texts[Index(Item::SerialNo)] = QStringLiteral("FFFF");
    for (Item flag : kAlarmFlags) {
        m_texts[Index(flag)] = QStringLiteral("0");
        m_colours[Index(flag)] = kGreen;
    }
}

QString ItemTable::topic() const
{
    return QStringLiteral("UNIT%1").arg(m_unit);
}

const QString& ItemTable::text(Item item) const
{
    return m_texts[Index(item)];
}

void ItemTable::setText(Item item, const QString& text)
{
    QString& current = m_texts[Index(item)];
    if (current == text) return;
    current = text;
    emit textChanged(item, current);
}

Colour ItemTable::colour(Item item) const
{
    return m_colours[Index(item)];
}

void ItemTable::setColour(Item item, Colour colour)
{
    if (!HasColour(item)) return;
    Colour& current = m_colours[Index(item)];
    if (current == colour) return;
    current = colour;
    emit colourChanged(item, colour);
}

ItemTables::ItemTables()
{
    for (int unit = 1; unit <= 4; ++unit) m_tables[unit - 1] = std::make_unique<ItemTable>(unit);
}

ItemTable& ItemTables::operator[](int unit)
{
    if (unit < 1 || unit > 4) throw std::out_of_range("unit outside 1..4");
    return *m_tables[unit - 1];
}

const ItemTable& ItemTables::operator[](int unit) const
{
    if (unit < 1 || unit > 4) throw std::out_of_range("unit outside 1..4");
    return *m_tables[unit - 1];
}

}  // namespace grainlink
