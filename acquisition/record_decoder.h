#pragma once

#include "acquisition/unit_state.h"
#include "display/item_table.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace grainlink {

// Turns one framed instrument record of a unit into the texts of its item table.
class RecordDecoder {
public:
    using LogDataFn = std::function<void(int unit)>;

    RecordDecoder(const SharedState& state, ItemTables& items, LogDataFn logData);

    // Decodes RxBuffer(unit) into unit's items, then calls LogData. A record holding a character
    // outside the record's set changes nothing and is not logged.
    void DecodeRecord(int unit);

private:
    const SharedState& m_state;
    ItemTables& m_items;
    LogDataFn m_logData;
};

}  // namespace grainlink
