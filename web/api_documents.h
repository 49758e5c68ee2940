#pragma once

#include "display/history_store.h"
#include "plant/plant_model.h"
#include "state/item_table.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>

namespace grainlink {

// The documents of the HTTP API, built from the plant model and the histories. They reuse the
// shapes the MQTT consumers already read: a unit's items as in the record snapshot, an event
// as in the events message.

// One unit: {"unit":1,"name":"Line A","state":"live","stateText":"Live",
// "lastRecord":"2026-12-06T14:03:05+01:00","age":"12 s ago","rxCount":3,"alarms":["LaserLow"],
// "items":{"Counts4um":{"text":"513","value":513},...}}; "stateText" is the state as a tile
// writes it ("Port lost"). "lastRecord" and "age" are null before the first record; every "value"
// is null while the unit has no valid values (stale, port lost, not served).
QJsonObject UnitObject(const UnitView& view, const ItemTable& items);

// The status line: {"broker":"connected to 127.0.0.1:1883","brokerConnected":true,
// "access":"logged off","dataLog":true,"demoMode":false}.
QJsonObject StatusObject(const StatusLine& status);

// {"time":<now>,"product":"...","status":<StatusObject>,"units":[<UnitObject>...]}: every unit
// shown, in unit order, and the status line.
QByteArray UnitsDocument(const PlantModel& plant, const ItemTables& items,
                         const QString& productName);

// The rows a unit's history holds at most, its newest row the last of them: BufferSize within
// 1..HistoryStore::kMaxRows.
int HistoryCapacity(int bufferSize);

// The unit's stored records, oldest first (rows 1..HistoryCapacity that hold a record).
QList<HistoryRec> HistoryRows(const HistoryStore& history, int unit, int bufferSize);

// One history row as compact JSON: {"time":...,"counts":[4,6,14,21 µm],"isoCodes":[...],
// "errorState":false,"errorCode":0,"laserCurrent":..,"diodePower":..,"temperature":..,
// "flowIndex":..}, each number the stored single-precision value at seven significant digits
// (1.1, not 1.10000002). Written directly rather than through a QJsonObject per row: a page of
// 1000 rows is then several times faster, and a row holds numbers and one ISO time only.
QByteArray HistoryRowJson(const HistoryRec& row);
// {"unit":1,"name":"Line A","capacity":10,"rows":[<HistoryRowJson>...]}: `capacity` is
// HistoryCapacity, so that a client following the live records keeps as many as the server.
QByteArray HistoryDocument(int unit, const QString& name, int capacity,
                           const QList<HistoryRec>& rows);

// The rows as CSV (RFC 4180, UTF-8, CR LF): a header line with the data log's column names,
// its date and time joined into one "Time" column in ISO 8601 with the offset from UTC, then
// one line per row with numbers written with a point, whatever the locale.
QByteArray HistoryCsv(const QList<HistoryRec>& rows);

// {"events":[<EventObject>...]}, in the order given.
QByteArray EventsDocument(const QList<PlantEvent>& events);

}  // namespace grainlink
