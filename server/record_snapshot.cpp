#include "server/record_snapshot.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "state/numeric_text.h"

namespace grainlink {

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

QByteArray RecordSnapshot(const ItemTable& table, const QString& name, const QDateTime& time)
{
    QJsonObject items;
    for (Item item : AllItems()) {
        const QString& text = table.text(item);
        QJsonObject entry{{QStringLiteral("text"), text}};
        if (const auto value = ItemNumber(item, text))
            entry.insert(QStringLiteral("value"), *value);
        items.insert(ItemName(item), entry);
    }
    const QJsonObject record{{QStringLiteral("time"), IsoTimeWithOffset(time)},
                             {QStringLiteral("unit"), table.unit()},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("items"), items}};
    return QJsonDocument(record).toJson(QJsonDocument::Compact);
}

}  // namespace grainlink
