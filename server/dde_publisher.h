#pragma once

#include "platform/dde_source.h"
#include "state/item_table.h"

namespace grainlink {

// Serves the four item tables through the DDE source: topic "UNIT<n>", one item per value,
// from construction on and on every change of an item's text.
class DdePublisher {
public:
    DdePublisher(ItemTables& items, DdeSource& source);
};

}  // namespace grainlink
