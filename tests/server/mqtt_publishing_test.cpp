#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <map>

#include "server/ha_discovery.h"
#include "server/mqtt_unit_publisher.h"
#include "server/record_snapshot.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

QJsonObject Json(const QByteArray& payload)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << payload.constData();
    return document.object();
}

// Item texts follow the locale's decimal separator; the snapshot's numbers must not.
class RecordSnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(RecordSnapshotTest, HoldsEveryItemAsShownAndNumbersIndependentOfTheLocale)
{
    ItemTable table(3);
    const struct {
        Item item;
        const char* text;
        std::optional<double> value;
    } rows[] = {
        {Item::ISOCode4um, "16,5", 16.5},   {Item::Counts4um, "0,5000", 0.5},
        {Item::Counts6um, "3000", 3000},    {Item::Chan1Duty, "268,435455", 268.435455},
        {Item::Temperature, "-127", -127},  {Item::FlowIndex, "1006632900", 1006632900},
        {Item::txt_flow_factor, "0.00075", 0.00075},  // typed with a point
        {Item::SampleTime, "-1", -1},       {Item::Firmware, "12", std::nullopt},
        {Item::status, "OK", std::nullopt}, {Item::lbl_error, "", std::nullopt},
        {Item::NodeID, "1.000,5", std::nullopt},  // group separators are never shown
    };
    for (const auto& row : rows) table.setText(row.item, row.text);
    const QDateTime time(QDate(2024, 5, 1), QTime(10, 15, 30), QTimeZone(7200));

    const QJsonObject record = Json(RecordSnapshot(table, QStringLiteral("Line A"), time));
    EXPECT_EQ(record["time"].toString(), "2024-05-01T10:15:30+02:00");
    EXPECT_EQ(record["unit"].toInt(), 3);
    EXPECT_EQ(record["name"].toString(), "Line A");
    const QJsonObject items = record["items"].toObject();
    EXPECT_EQ(items.size(), kItemCount);
    for (const auto& row : rows) {
        const QJsonObject entry = items[ItemName(row.item)].toObject();
        SCOPED_TRACE(row.text);
        EXPECT_EQ(entry["text"].toString(), row.text);
        EXPECT_EQ(entry.contains("value"), row.value.has_value());
        if (row.value) {
            EXPECT_DOUBLE_EQ(entry["value"].toDouble(), *row.value);
        }
    }
}

TEST(IsoTimeTest, AlwaysCarriesTheOffsetFromUtc)
{
    const QDate day(2024, 1, 2);
    EXPECT_EQ(IsoTimeWithOffset(QDateTime(day, QTime(3, 4, 5), QTimeZone(-18000))),
              "2024-01-02T03:04:05-05:00");
    EXPECT_EQ(IsoTimeWithOffset(QDateTime(day, QTime(3, 4, 5), QTimeZone::utc())),
              "2024-01-02T03:04:05+00:00");
    const QDateTime local(day, QTime(3, 4, 5));
    const QString text = IsoTimeWithOffset(local);
    EXPECT_TRUE(QRegularExpression("^2024-01-02T03:04:05[+-]\\d\\d:\\d\\d$").match(text).hasMatch())
        << text.toStdString();
    EXPECT_EQ(QDateTime::fromString(text, Qt::ISODate), local);
}

// Keeps the latest payload of every topic, as the broker does.
class RecordingRetained final : public RetainedMessages {
public:
    void setRetained(const QString& topic, const QByteArray& payload) override
    {
        latest[topic] = payload;
    }
    QByteArray at(const QString& topic) const
    {
        return latest.contains(topic) ? latest.at(topic) : "<none>";
    }
    int count(const QString& prefix, bool empty) const
    {
        return static_cast<int>(std::count_if(latest.begin(), latest.end(), [&](const auto& m) {
            return m.first.startsWith(prefix) && m.second.isEmpty() == empty;
        }));
    }
    std::map<QString, QByteArray> latest;
};

class MqttUnitPublisherTest : public ::testing::Test {
protected:
    MqttUnitPublisherTest()
    {
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            state.UnitName[unit] = QStringLiteral("Line %1").arg(unit);
        state.HardwareName = QStringLiteral("QS2600");
    }
    QByteArray availability(int unit) const
    {
        return out.at(QStringLiteral("GL/UNIT%1/availability").arg(unit));
    }

    ItemTables items;
    SharedState state;
    FakeClock clock;
    RecordingRetained out;
};

TEST_F(MqttUnitPublisherTest, AUnitIsOnlineWhileServedAndLive)
{
    MqttUnitPublisher publisher(items, state, clock, out, "GL", {});
    for (int unit = 1; unit <= kMaxUnits; ++unit) EXPECT_EQ(availability(unit), "offline");

    publisher.onServedUnits({1, 2});
    EXPECT_EQ(availability(1), "offline");  // no record yet
    publisher.onRecord(1);
    publisher.onRecord(2);
    EXPECT_EQ(availability(1), "online");
    publisher.onUnitStale(1);
    EXPECT_EQ(availability(1), "offline");
    EXPECT_EQ(availability(2), "online");
    publisher.onRecord(1);
    EXPECT_EQ(availability(1), "online");

    publisher.onServedUnits({1});
    EXPECT_EQ(availability(2), "offline");
    publisher.onServedUnits({1, 2});
    EXPECT_EQ(availability(2), "offline");  // back in service, but its values are old
    EXPECT_EQ(availability(1), "online");
    publisher.onRecord(4);  // not served: its record is kept, it is not available
    EXPECT_EQ(availability(4), "offline");
    publisher.onShutdown();
    EXPECT_EQ(availability(1), "offline");
    EXPECT_EQ(out.count("homeassistant/", false) + out.count("homeassistant/", true), 0);
}

TEST_F(MqttUnitPublisherTest, DiscoveryDescribesServedUnitsAndClearsTheOthers)
{
    MqttUnitPublisher publisher(items, state, clock, out, "GL", {true, "ha"});
    publisher.onServedUnits({1, 3});
    EXPECT_EQ(out.count("ha/sensor/grainlink_GL/unit1_", false), 11);
    EXPECT_EQ(out.count("ha/sensor/grainlink_GL/unit3_", false), 11);
    EXPECT_EQ(out.count("ha/sensor/grainlink_GL/unit2_", true), 11);

    const QJsonObject counts = Json(out.at("ha/sensor/grainlink_GL/unit1_counts4um/config"));
    EXPECT_EQ(counts["state_topic"].toString(), "GL/UNIT1/record");
    EXPECT_EQ(counts["value_template"].toString(), "{{ value_json.items.Counts4um.value }}");
    EXPECT_EQ(counts["unit_of_measurement"].toString(), QString::fromUtf8("particles/mL"));
    EXPECT_EQ(counts["device"]["name"].toString(), "QS2600 Line 1");
    const QJsonArray availability = counts["availability"].toArray();
    ASSERT_EQ(availability.size(), 2);
    EXPECT_EQ(availability[0]["topic"].toString(), "GL/status");
    EXPECT_EQ(availability[1]["topic"].toString(), "GL/UNIT1/availability");
    EXPECT_EQ(counts["availability_mode"].toString(), "all");
    const QJsonObject status = Json(out.at("ha/sensor/grainlink_GL/unit1_status/config"));
    EXPECT_EQ(status["value_template"].toString(), "{{ value_json.items.status.text }}");

    publisher.onServedUnits({3});  // unit 1 taken out of service: its sensors go
    EXPECT_EQ(out.count("ha/sensor/grainlink_GL/unit1_", true), 11);
    EXPECT_EQ(out.count("ha/sensor/grainlink_GL/unit3_", false), 11);
}

// Two servers on one broker, each with its own topic root, never share a sensor or a device.
TEST(DiscoveryConfigsTest, UniqueIdsDifferBetweenUnitsAndServers)
{
    std::set<QString> ids;
    std::set<QString> topics;
    std::set<QString> devices;
    for (const char* root : {"plant/hall1", "plant/hall2"}) {
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            for (const RetainedMessage& config :
                 DiscoveryConfigs("homeassistant", {root, unit, "Line", "QS2600"})) {
                const QJsonObject json = Json(config.payload);
                ids.insert(json["unique_id"].toString());
                topics.insert(config.topic);
                devices.insert(json["device"]["identifiers"][0].toString());
            }
        }
    }
    EXPECT_EQ(ids.size(), 2u * kMaxUnits * 11);
    EXPECT_EQ(topics.size(), ids.size());
    EXPECT_EQ(devices.size(), 2u * kMaxUnits);
}

}  // namespace
}  // namespace grainlink::test
