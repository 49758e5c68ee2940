#include "server/unit_status.h"

#include <array>

namespace grainlink {
namespace {

// In the order they are marked.
constexpr std::array<Item, 22> kValueItems = {
    Item::SystemID,   Item::NodeID,      Item::SerialNo,    Item::Firmware,    Item::Chan1Duty,
    Item::Chan2Duty,  Item::Chan3Duty,   Item::Chan4Duty,   Item::Chan1Event,  Item::Chan4Event,
    Item::SampleTime, Item::Counts4um,   Item::Counts6um,   Item::Counts14um,  Item::Counts21um,
    Item::ISOCode4um, Item::ISOCode6um,  Item::ISOCode14um, Item::ISOCode21um, Item::LaserCurrent,
    Item::DiodePower, Item::Temperature,
};

}  // namespace

void MarkUnitInvalid(ItemTable& items)
{
    const QString noData = QString::fromLatin1(kNoDataText);
    for (Item item : kValueItems) items.setText(item, noData);
    for (Item flag : kFlagsInMarkingOrder) {
        items.setText(flag, QStringLiteral("1"));
        items.setColour(flag, kRed);
    }
    items.setText(Item::status, QStringLiteral("Error"));
    items.setColour(Item::status, kRed);
    items.setText(Item::FlowIndex, noData);
}

}  // namespace grainlink
