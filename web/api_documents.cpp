#include "web/api_documents.h"

#include "server/data_log.h"
#include "server/event_outputs.h"
#include "server/record_snapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace grainlink {
namespace {

QJsonValue OptionalTime(const std::optional<QDateTime>& time)
{
    return time ? QJsonValue(IsoTimeWithOffset(*time)) : QJsonValue();
}

QJsonArray SizeValues(const std::array<float, 6>& values)
{
    QJsonArray array;
    for (int size = 1; size <= 4; ++size) array.append(HistoryNumber(values[size]));
    return array;
}

QString CsvNumber(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7);
}

QJsonObject StatusObject(const StatusLine& status)
{
    return {{QStringLiteral("broker"), BrokerText(status)},
            {QStringLiteral("brokerConnected"), status.brokerConnected},
            {QStringLiteral("access"), AccessText(status.accessLevel)},
            {QStringLiteral("dataLog"), status.dataLog},
            {QStringLiteral("demoMode"), status.demoMode}};
}

}  // namespace

double HistoryNumber(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7).toDouble();
}

QJsonObject UnitObject(const UnitView& view, const ItemTable& items)
{
    return {{QStringLiteral("unit"), view.unit},
            {QStringLiteral("name"), view.name},
            {QStringLiteral("state"), StateKey(view.state)},
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

QList<HistoryRec> HistoryRows(const HistoryStore& history, int unit, int bufferSize)
{
    QList<HistoryRec> rows;
    const int last = std::clamp(bufferSize, 1, HistoryStore::kMaxRows);
    for (int row = 1; row <= last; ++row)
        if (HoldsRecord(history.row(unit, row))) rows.append(history.row(unit, row));
    return rows;
}

QJsonObject HistoryRowObject(const HistoryRec& row)
{
    return {{QStringLiteral("time"), row.Time.isValid() ? QJsonValue(IsoTimeWithOffset(row.Time))
                                                        : QJsonValue()},
            {QStringLiteral("counts"), SizeValues(row.Counts)},
            {QStringLiteral("isoCodes"), SizeValues(row.IsoCodes)},
            {QStringLiteral("errorState"), row.ErrorState},
            {QStringLiteral("errorCode"), row.ErrorCode},
            {QStringLiteral("laserCurrent"), HistoryNumber(row.LaserCurrent)},
            {QStringLiteral("diodePower"), HistoryNumber(row.DiodePower)},
            {QStringLiteral("temperature"), HistoryNumber(row.Temperature)},
            {QStringLiteral("flowIndex"), HistoryNumber(row.FlowIndex)}};
}

QByteArray HistoryDocument(int unit, const QString& name, const QList<HistoryRec>& rows)
{
    QJsonArray array;
    for (const HistoryRec& row : rows) array.append(HistoryRowObject(row));
    const QJsonObject document{{QStringLiteral("unit"), unit},
                               {QStringLiteral("name"), name},
                               {QStringLiteral("rows"), array}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QByteArray HistoryCsv(const QList<HistoryRec>& rows)
{
    // The data log's own column names (8-bit there), after its Date and Time.
    QStringList header = QString::fromLatin1(DataLogHeader()).split(u';').mid(2);
    header.prepend(QStringLiteral("Time"));
    QByteArray csv = header.join(u',').toUtf8() + "\r\n";
    csv.reserve(csv.size() + rows.size() * 128);
    for (const HistoryRec& row : rows) {
        QStringList fields{row.Time.isValid() ? IsoTimeWithOffset(row.Time) : QString()};
        for (int size = 1; size <= 4; ++size) fields << CsvNumber(row.Counts[size]);
        for (int size = 1; size <= 4; ++size) fields << CsvNumber(row.IsoCodes[size]);
        fields << (row.ErrorState ? QStringLiteral("Error") : QStringLiteral("OK"))
               << QString::number(row.ErrorCode) << CsvNumber(row.LaserCurrent)
               << CsvNumber(row.DiodePower) << CsvNumber(row.Temperature)
               << CsvNumber(row.FlowIndex);
        csv += fields.join(u',').toUtf8() + "\r\n";
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
