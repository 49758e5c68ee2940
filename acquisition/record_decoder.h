#pragma once

#include "state/item_table.h"
#include "state/unit_state.h"

#include <QByteArray>

#include <functional>

namespace grainlink {

// Turns one framed instrument record of a unit into the texts of its item table, which is what
// the data window shows and the DDE clients see. The record is text of hex digits, ";" and line
// ends holding two-character tags each followed by a fixed-width field, for example
// ";A10001;A201;B70003C;C50A5;C101F4\r\n". Fields are found by the first occurrence of their tag
// anywhere in the record (so a tag inside an earlier field's digits is taken from there); a
// missing tag reads as "0" and a field cut short reads its line end as zeros.
//
// Guarantees: a record with a character outside the allowed set changes nothing and is not
// logged; otherwise every item is written one by one in screen order (the flags bit 7 before
// bit 6), then the status and the flow index, and LogData runs. A flow index that does not fit
// 32 bits shows the no-data marker "-1" and the record is still kept. Nothing here throws for
// any record content.
class RecordDecoder {
public:
    using LogDataFn = std::function<void(int unit)>;

    RecordDecoder(const SharedState& state, ItemTables& items, LogDataFn logData);

    // Decodes RxBuffer(unit) into unit's items (units 1..4 only; other slots decode nothing),
    // then calls LogData; false, and nothing decoded, for a message with a character that no
    // record holds. A unit outside the state's slots 0..10 throws std::out_of_range.
    bool DecodeRecord(int unit);

private:
    static void DecodeFields(const QByteArray& record, ItemTable& items);
    static void DecodeErrorByte(const QByteArray& record, ItemTable& items);
    static void DecodeFlowIndex(ItemTable& items);

    const SharedState& m_state;
    ItemTables& m_items;
    LogDataFn m_logData;
};

}  // namespace grainlink
