#include "server/record_snapshot.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "state/numeric_text.h"

namespace grainlink {
namespace {

QString StateName(RecordState state)
{
    switch (state) {
    case RecordState::Live:
        break;
    case RecordState::Stale:
        return QStringLiteral("stale");
    case RecordState::Demonstration:
        return QStringLiteral("demonstration");
    }
    return QStringLiteral("live");
}

}  // namespace

std::optional<double> ItemNumber(Item item, const QString& text)
{
    if (item == Item::Firmware || item == Item::status) return std::nullopt;
    return NumericValue(text);
}

QString IsoTimeWithOffset(const QDateTime& time)
{
    // A local time is written without its offset; one fixed at the same offset is written with it.
    const QString text = time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
    return text.endsWith(u'Z') ? text.chopped(1) + QStringLiteral("+00:00") : text;
}

QJsonObject SnapshotItems(const ItemTable& table, bool valuesValid)
{
    QJsonObject items;
    for (Item item : AllItems()) {
        const QString& text = table.text(item);
        QJsonObject entry{{QStringLiteral("text"), text}};
        if (const auto value = ItemNumber(item, text))
            entry.insert(QStringLiteral("value"), valuesValid ? QJsonValue(*value) : QJsonValue());
        items.insert(ItemName(item), entry);
    }
    return items;
}

QByteArray RecordSnapshot(const ItemTable& table, const QString& name, const QDateTime& time,
                          RecordState state)
{
    const QJsonObject items = SnapshotItems(table, state != RecordState::Stale);
    const QJsonObject record{{QStringLiteral("time"), IsoTimeWithOffset(time)},
                             {QStringLiteral("unit"), table.unit()},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("state"), StateName(state)},
                             {QStringLiteral("items"), items}};
    return QJsonDocument(record).toJson(QJsonDocument::Compact);
}

}  // namespace grainlink
