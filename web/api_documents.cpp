#include "web/api_documents.h"

#include "server/data_log.h"
#include "server/event_outputs.h"
#include "server/number_text.h"
#include "server/record_snapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <cmath>

namespace grainlink {
namespace {

QJsonValue OptionalTime(const std::optional<QDateTime>& time)
{
    return time ? QJsonValue(IsoTimeWithOffset(*time)) : QJsonValue();
}

QByteArray JsonNumber(float value)
{
    return std::isfinite(value) ? PointNumberText(value) : QByteArrayLiteral("null");
}

QByteArray TimeText(const QDateTime& time)
{
    return time.isValid() ? IsoTimeWithOffset(time).toLatin1() : QByteArray();
}

QByteArray JsonSizeValues(const std::array<float, 6>& values)
{
    QByteArray array = "[";
    for (int size = 1; size <= 4; ++size) array += JsonNumber(values[size]) + (size < 4 ? "," : "]");
    return array;
}

}  // namespace

QJsonObject StatusObject(const StatusLine& status)
{
    return {{QStringLiteral("broker"), BrokerText(status)},
            {QStringLiteral("brokerConnected"), status.brokerConnected},
            {QStringLiteral("access"), AccessText(status.accessLevel)},
            {QStringLiteral("dataLog"), status.dataLog},
            {QStringLiteral("demoMode"), status.demoMode}};
}

QJsonObject UnitObject(const UnitView& view, const ItemTable& items)
{
    return {{QStringLiteral("unit"), view.unit},
            {QStringLiteral("name"), view.name},
            {QStringLiteral("state"), StateKey(view.state)},
            {QStringLiteral("stateText"), StateWord(view.state)},
            {QStringLiteral("lastRecord"), OptionalTime(view.lastRecord)},
            {QStringLiteral("age"), view.lastRecord ? QJsonValue(view.ageText) : QJsonValue()},
            {QStringLiteral("rxCount"), view.rxCount},
            {QStringLiteral("alarms"), QJsonArray::fromStringList(view.alarms)},
            {QStringLiteral("items"), SnapshotItems(items, view.valuesValid)}};
}

QByteArray UnitsDocument(const PlantModel& plant, const ItemTables& items,
                         const QString& productName)
{
    QJsonArray units;
    for (int unit : plant.units()) units.append(UnitObject(plant.unit(unit), items[unit]));
    const QJsonObject document{{QStringLiteral("time"), IsoTimeWithOffset(plant.now())},
                               {QStringLiteral("product"), productName},
                               {QStringLiteral("status"), StatusObject(plant.status())},
                               {QStringLiteral("units"), units}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

int HistoryCapacity(int bufferSize)
{
    return std::clamp(bufferSize, 1, HistoryStore::kMaxRows);
}

QList<HistoryRec> HistoryRows(const HistoryStore& history, int unit, int bufferSize)
{
    QList<HistoryRec> rows;
    const int last = HistoryCapacity(bufferSize);
    for (int row = 1; row <= last; ++row)
        if (HoldsRecord(history.row(unit, row))) rows.append(history.row(unit, row));
    return rows;
}

QByteArray HistoryRowJson(const HistoryRec& row)
{
    const QByteArray time = TimeText(row.Time);
    return "{\"time\":" + (time.isEmpty() ? QByteArray("null") : '"' + time + '"') +
           ",\"counts\":" + JsonSizeValues(row.Counts) +
           ",\"isoCodes\":" + JsonSizeValues(row.IsoCodes) +
           ",\"errorState\":" + (row.ErrorState ? "true" : "false") +
           ",\"errorCode\":" + QByteArray::number(row.ErrorCode) +
           ",\"laserCurrent\":" + JsonNumber(row.LaserCurrent) +
           ",\"diodePower\":" + JsonNumber(row.DiodePower) +
           ",\"temperature\":" + JsonNumber(row.Temperature) +
           ",\"flowIndex\":" + JsonNumber(row.FlowIndex) + '}';
}

QByteArray HistoryDocument(int unit, const QString& name, int capacity,
                           const QList<HistoryRec>& rows)
{
    QByteArray json = QJsonDocument(QJsonObject{{QStringLiteral("unit"), unit},
                                                {QStringLiteral("name"), name},
                                                {QStringLiteral("capacity"), capacity}})
                          .toJson(QJsonDocument::Compact);
    json.chop(1);  // the closing brace: the rows follow
    json.reserve(json.size() + rows.size() * 220);
    json += ",\"rows\":[";
    for (qsizetype i = 0; i < rows.size(); ++i) json += (i ? "," : "") + HistoryRowJson(rows[i]);
    return json + "]}";
}

QByteArray HistoryCsv(const QList<HistoryRec>& rows)
{
    // The data log's own column names (8-bit there), after its Date and Time.
    QStringList header = QString::fromLatin1(DataLogHeader()).split(u';').mid(2);
    header.prepend(QStringLiteral("Time"));
    QByteArray csv = header.join(u',').toUtf8() + "\r\n";
    csv.reserve(csv.size() + rows.size() * 100);
    for (const HistoryRec& row : rows) {
        csv += TimeText(row.Time);
        for (int size = 1; size <= 4; ++size) csv += ',' + PointNumberText(row.Counts[size]);
        for (int size = 1; size <= 4; ++size) csv += ',' + PointNumberText(row.IsoCodes[size]);
        csv += (row.ErrorState ? ",Error," : ",OK,") + QByteArray::number(row.ErrorCode);
        for (float value : {row.LaserCurrent, row.DiodePower, row.Temperature, row.FlowIndex})
            csv += ',' + PointNumberText(value);
        csv += "\r\n";
    }
    return csv;
}

QByteArray EventsDocument(const QList<PlantEvent>& events)
{
    QJsonArray array;
    for (const PlantEvent& event : events) array.append(EventObject(event));
    return QJsonDocument(QJsonObject{{QStringLiteral("events"), array}})
        .toJson(QJsonDocument::Compact);
}

}  // namespace grainlink
