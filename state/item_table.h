#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <cstdint>
#include <optional>

namespace grainlink {

// The text a value item shows when the system has no data for it (a stale unit, a flow index
// that does not fit).
inline constexpr const char* kNoDataText = "-1";

// The values of one unit's data window, each named after its DDE item, in screen order.
enum class Item {
    SystemID, NodeID, SerialNo, Firmware, SampleTime,
    Chan1Duty, Chan2Duty, Chan3Duty, Chan4Duty, Chan1Event, Chan4Event,
    txt_flow_factor,
    Counts4um, Counts6um, Counts14um, Counts21um,
    ISOCode4um, ISOCode6um, ISOCode14um, ISOCode21um,
    LaserCurrent, DiodePower, Temperature, FlowIndex,
    status, lbl_error,
    LaserLow, LaserHigh, RcvPwrLo, RcvPwrHi, TempLow, TempHigh, Concentration, Flow,
};

inline constexpr int kItemCount = static_cast<int>(Item::Flow) + 1;

// All items, in screen order.
const std::array<Item, kItemCount>& AllItems();

// The eight alarm flags, in screen order (bits 0..5, then 6 and 7).
inline constexpr std::array<Item, 8> kAlarmFlags = {
    Item::LaserLow, Item::LaserHigh, Item::RcvPwrLo, Item::RcvPwrHi,
    Item::TempLow,  Item::TempHigh,  Item::Concentration, Item::Flow,
};

// The item's name, which is also its control name on the window.
QString ItemName(Item item);
std::optional<Item> ItemFromName(const QString& name);

// Colours in the platform's 0x00BBGGRR encoding.
using Colour = std::uint32_t;
inline constexpr Colour kRed = 255;
inline constexpr Colour kGreen = 65280;
inline constexpr Colour kWhite = 0xFFFFFF;

// Whether the item carries a background colour of its own (status and the alarm flags).
bool HasColour(Item item);

// One unit's item table: the DDE topic "UNIT<n>". It is the single place the unit's live values
// live; the decoder, invalid marking and demonstration data write it, the data window shows it,
// the data log reads it back and the DDE publisher serves it. Signals fire on real changes only.
class ItemTable : public QObject {
    Q_OBJECT

public:
    explicit ItemTable(int unit, QObject* parent = nullptr);

    int unit() const { return m_unit; }
    QString topic() const;

    const QString& text(Item item) const;
    void setText(Item item, const QString& text);

    // White for items without a colour of their own.
    Colour colour(Item item) const;
    // Ignored for items without a colour of their own.
    void setColour(Item item, Colour colour);

signals:
    void textChanged(grainlink::Item item, const QString& text);
    void colourChanged(grainlink::Item item, grainlink::Colour colour);

private:
    int m_unit;
    std::array<QString, kItemCount> m_texts;
    std::array<Colour, kItemCount> m_colours;
};

// The item tables of units 1 to 4.
class ItemTables {
public:
    ItemTables();
    // Throws std::out_of_range for a unit outside 1..4.
    ItemTable& operator[](int unit);
    const ItemTable& operator[](int unit) const;

private:
    std::array<std::unique_ptr<ItemTable>, 4> m_tables;
};

}  // namespace grainlink
