#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

#include "state/item_table.h"

namespace grainlink {

// The item's text as a JSON number, for items that are numbers: the text as shown, with the
// locale's decimal separator or a point. None for the texts (Firmware, status) and for a text
// that is not a number.
std::optional<double> ItemNumber(Item item, const QString& text);

// The time as ISO 8601 with its offset from UTC, for example "2024-05-01T10:15:30+02:00".
QString IsoTimeWithOffset(const QDateTime& time);

// What the values of a unit's snapshot are: the instrument's record, the no-data marking of a
// silent unit or a lost port, or a generated demonstration record.
enum class RecordState { Live, Stale, Demonstration };

// Every item of the table keyed by its item name, {"text":...,"value":...}, as the snapshot
// and the HTTP API carry them; with `valuesValid` false every "value" is null.
QJsonObject SnapshotItems(const ItemTable& table, bool valuesValid);

// One unit's record as one compact JSON object, so that a consumer reads one consistent record
// from one message instead of assembling it from the item topics while they change:
//   {"time":"2024-05-01T10:15:30+02:00","unit":1,"name":"Line A","state":"live",
//    "items":{"Counts4um":{"text":"513","value":513},"Firmware":{"text":"1F"},...}}
// Every item is there with its text exactly as shown; "value" only where ItemNumber() has one.
// In a stale snapshot every "value" is null: the "-1" the windows show is no measurement, and a
// consumer that stores numbers must not store it as one.
QByteArray RecordSnapshot(const ItemTable& table, const QString& name, const QDateTime& time,
                          RecordState state);

}  // namespace grainlink
