#include "server/ha_discovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "platform/mqtt_dde_source.h"
#include "state/item_table.h"

namespace grainlink {
namespace {

struct Sensor {
    Item item;
    const char16_t* name;
    const char16_t* unitOfMeasure;  // nullptr: a code or an index, without a unit
    const char* deviceClass;        // nullptr: none that fits
    bool numeric;                   // a measurement (graphs, statistics) rather than a text
};

constexpr Sensor kSensors[] = {
    {Item::Counts4um, u"Counts 4 µm", u"particles/mL", nullptr, true},
    {Item::Counts6um, u"Counts 6 µm", u"particles/mL", nullptr, true},
    {Item::Counts14um, u"Counts 14 µm", u"particles/mL", nullptr, true},
    {Item::Counts21um, u"Counts 21 µm", u"particles/mL", nullptr, true},
    {Item::ISOCode4um, u"ISO code 4 µm", nullptr, nullptr, true},
    {Item::ISOCode6um, u"ISO code 6 µm", nullptr, nullptr, true},
    {Item::ISOCode14um, u"ISO code 14 µm", nullptr, nullptr, true},
    {Item::ISOCode21um, u"ISO code 21 µm", nullptr, nullptr, true},
    {Item::Temperature, u"Temperature", u"°C", "temperature", true},
    {Item::FlowIndex, u"Flow index", nullptr, nullptr, true},
    {Item::status, u"Status", nullptr, nullptr, false},
};

// Discovery ids allow letters, digits, "_" and "-" only.
QString IdPart(const QString& text)
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(text).replace(other, QStringLiteral("_"));
}

// Subscripts, not attributes: in Jinja `value_json.items` is the dictionary's items() method,
// not the "items" member. A number that is null (a stale unit) or missing (a text that is no
// number) renders as None, which Home Assistant takes as "unknown" instead of keeping the last
// value or recording an empty state.
QString ValueTemplate(const QString& item, bool numeric)
{
    const QString member =
        QStringLiteral("value_json['items']['%1']['%2']")
            .arg(item, numeric ? QStringLiteral("value") : QStringLiteral("text"));
    if (!numeric) return QStringLiteral("{{ %1 }}").arg(member);
    return QStringLiteral("{% set reading = %1 %}{{ reading if reading is number else None }}")
        .arg(member);
}

QString NodeId(const QString& topicRoot)
{
    return QStringLiteral("grainlink_") + IdPart(topicRoot);
}

QString ObjectId(int unit, Item item)
{
    return QStringLiteral("unit%1_%2").arg(unit).arg(ItemName(item).toLower());
}

QString ConfigTopic(const QString& prefix, const QString& node, const QString& object)
{
    return QStringLiteral("%1/sensor/%2/%3/config").arg(prefix, node, object);
}

}  // namespace

QStringList DiscoveryTopics(const QString& prefix, const QString& topicRoot, int unit)
{
    const QString node = NodeId(topicRoot);
    QStringList topics;
    for (const Sensor& sensor : kSensors)
        topics << ConfigTopic(prefix, node, ObjectId(unit, sensor.item));
    return topics;
}

std::vector<RetainedMessage> DiscoveryConfigs(const QString& prefix, const DiscoveryUnit& unit)
{
    const QString node = NodeId(unit.topicRoot);
    const QString device = node + QStringLiteral("_unit") + QString::number(unit.unit);
    const QJsonArray availability = {
        QJsonObject{{"topic", MqttStatusTopic(unit.topicRoot)}},
        QJsonObject{
            {"topic", UnitTopic(unit.topicRoot, unit.unit, QStringLiteral("availability"))}},
    };
    const QJsonObject deviceInfo{
        {"identifiers", QJsonArray{device}},
        {"name", QStringLiteral("%1 %2").arg(unit.model, unit.name)},
        {"model", unit.model},
    };

    std::vector<RetainedMessage> configs;
    for (const Sensor& sensor : kSensors) {
        const QString item = ItemName(sensor.item);
        const QString object = ObjectId(unit.unit, sensor.item);
        QJsonObject config{
            {"name", QString::fromUtf16(sensor.name)},
            {"unique_id", node + u'_' + object},
            {"state_topic", UnitTopic(unit.topicRoot, unit.unit, QStringLiteral("record"))},
            {"value_template", ValueTemplate(item, sensor.numeric)},
            {"availability", availability},
            {"availability_mode", "all"},
            {"device", deviceInfo},
        };
        if (sensor.numeric) config.insert("state_class", "measurement");
        if (sensor.unitOfMeasure)
            config.insert("unit_of_measurement", QString::fromUtf16(sensor.unitOfMeasure));
        if (sensor.deviceClass) config.insert("device_class", sensor.deviceClass);
        configs.push_back({ConfigTopic(prefix, node, object),
                           QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return configs;
}

}  // namespace grainlink
