#pragma once

#include "state/item_table.h"

#include <array>

namespace grainlink {

// The alarm flags in the order they are marked, stale or demonstration: Flow before
// Concentration, as they are listed (not as they are stacked on screen).
inline constexpr std::array<Item, 8> kFlagsInMarkingOrder = {
    Item::LaserLow, Item::LaserHigh, Item::RcvPwrLo, Item::RcvPwrHi,
    Item::TempLow,  Item::TempHigh,  Item::Flow,     Item::Concentration,
};

// Marks a unit's values as stale, so that a program reading them can tell: every value item
// shows "-1", every alarm flag "1" on red, `status` "Error" on red and `FlowIndex` "-1", in that
// order. `lbl_error` and the flow factor keep their texts. The next record overwrites them.
void MarkUnitInvalid(ItemTable& items);

}  // namespace grainlink
