#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

#include "server/mqtt_unit_publisher.h"
#include "server/record_snapshot.h"
#include "server/unit_status.h"
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
TEST(RecordSnapshotTest, HoldsEveryItemAsShownAndNumbersIndependentOfTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
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

    const QJsonObject record =
        Json(RecordSnapshot(table, QStringLiteral("Line A"), time, RecordState::Live));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(record["time"].toString(), "2024-05-01T10:15:30+02:00");
    EXPECT_EQ(record["unit"].toInt(), 3);
    EXPECT_EQ(record["name"].toString(), "Line A");
    EXPECT_EQ(record["state"].toString(), "live");
    const QJsonObject items = record["items"].toObject();
    EXPECT_EQ(items.size(), kItemCount);
    for (const auto& row : rows) {
        const QJsonObject entry = items[ItemName(row.item)].toObject();
        SCOPED_TRACE(row.text);
        EXPECT_EQ(entry["text"].toString(), row.text);
        EXPECT_DOUBLE_EQ(entry["value"].toDouble(-99), row.value.value_or(-99));
    }

    // UTC and the clock's local time too carry their offset.
    EXPECT_EQ(IsoTimeWithOffset(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc())),
              "2024-01-02T03:04:05+00:00");
    const QDateTime local(QDate(2024, 1, 2), QTime(3, 4, 5));
    const QString text = IsoTimeWithOffset(local);
    EXPECT_TRUE(QRegularExpression("^2024-01-02T03:04:05[+-]\\d\\d:\\d\\d$").match(text).hasMatch())
        << text.toStdString();
    EXPECT_EQ(QDateTime::fromString(text, Qt::ISODate), local);
}

// The "-1" of a stale unit is no measurement: its numbers are null, its texts as shown.
TEST(RecordSnapshotTest, SaysTheStateAndGivesNoNumbersForAStaleUnit)
{
    ItemTable table(2);
    table.setText(Item::txt_flow_factor, "0.00075");
    table.setText(Item::lbl_error, "3");
    MarkUnitInvalid(table);
    const QDateTime time(QDate(2024, 5, 1), QTime(10, 15, 30), QTimeZone(0));
    const QJsonObject stale = Json(RecordSnapshot(table, "Line B", time, RecordState::Stale));
    EXPECT_EQ(stale["state"].toString(), "stale");
    int nulls = 0;
    const QJsonObject items = stale["items"].toObject();
    for (Item item : AllItems()) {
        const QJsonObject entry = items[ItemName(item)].toObject();
        EXPECT_EQ(entry["text"].toString(), table.text(item)) << ItemName(item).toStdString();
        if (!entry.contains("value")) continue;
        EXPECT_TRUE(entry["value"].isNull()) << ItemName(item).toStdString();
        ++nulls;
    }
    EXPECT_EQ(items["Counts4um"]["text"].toString(), "-1");
    EXPECT_EQ(nulls, kItemCount - 2) << "all but Firmware and status";

    const QJsonObject demo =
        Json(RecordSnapshot(table, "Line B", time, RecordState::Demonstration));
    EXPECT_EQ(demo["state"].toString(), "demonstration");
    EXPECT_EQ(demo["items"]["Counts4um"]["value"].toDouble(), -1);
}

// Keeps the latest payload of every topic, as the broker does.
class MqttUnitPublisherTest : public ::testing::Test {
protected:
    MqttUnitPublisherTest()
    {
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            state.UnitName[unit] = QStringLiteral("Line %1").arg(unit);
        state.HardwareName = QStringLiteral("QS2600");
    }
    // Of units 1 to 4.
    QByteArray availability() const
    {
        QByteArrayList all;
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            all << out.at("GL%1/UNIT" + QString::number(unit) + "/availability");
        return all.join(' ');
    }

    ItemTables items;
    SharedState state;
    FakeClock clock;
    RecordingRetained out;
};

// The root is the user's text: a "%1" in it is kept, not taken for a place holder.
TEST_F(MqttUnitPublisherTest, AUnitIsOnlineWhileServedAndLiveAndEachRecordIsPublished)
{
    MqttUnitPublisher publisher(items, state, clock, out, "GL%1", {});
    publisher.onServedUnits({1, 2});
    EXPECT_EQ(availability(), "offline offline offline offline");  // no record yet
    for (int unit : {1, 2, 4}) publisher.onRecord(unit, RecordState::Live);  // 4 is not served
    EXPECT_EQ(availability(), "online online offline offline");
    EXPECT_EQ(Json(out.at("GL%1/UNIT4/record"))["name"].toString(), "Line 4");
    publisher.onUnitStale(1);
    EXPECT_EQ(availability(), "offline online offline offline");
    publisher.onRecord(1, RecordState::Demonstration);
    EXPECT_EQ(Json(out.at("GL%1/UNIT1/record"))["state"].toString(), "demonstration");
    publisher.onServedUnits({1});
    EXPECT_EQ(availability(), "online offline offline offline");
    publisher.onServedUnits({1, 2});
    EXPECT_EQ(availability(), "online offline offline offline") << "unit 2's values are old";
    publisher.onShutdown();
    EXPECT_EQ(availability(), "offline offline offline offline");
    EXPECT_EQ(Json(out.at("GL%1/UNIT1/record"))["state"].toString(), "demonstration")
        << "stopping marks nothing stale";
    EXPECT_EQ(out.count("homeassistant/", false) + out.count("homeassistant/", true), 0);
}

// The retained snapshot follows the unit's values: stale once when they are marked, not again
// at every marking of a unit that stays silent, and live with the next record.
TEST_F(MqttUnitPublisherTest, AStaleUnitsSnapshotIsReplacedOnceByAStaleOne)
{
    MqttUnitPublisher publisher(items, state, clock, out, "GL", {});
    publisher.onServedUnits({1});
    const auto snapshot = [&] { return Json(out.at("GL/UNIT1/record")); };
    publisher.onUnitStale(1);  // the marking when the port opens
    EXPECT_EQ(snapshot()["state"].toString(), "stale");
    const QString markedAt = snapshot()["time"].toString();
    clock.advanceSeconds(600);
    publisher.onUnitStale(1);
    EXPECT_EQ(snapshot()["time"].toString(), markedAt);
    publisher.onRecord(1, RecordState::Live);
    EXPECT_EQ(snapshot()["state"].toString(), "live");
    clock.advanceSeconds(600);
    publisher.onUnitStale(1);
    EXPECT_EQ(snapshot()["state"].toString(), "stale");
    EXPECT_NE(snapshot()["time"].toString(), markedAt);
}

// The topic root goes into every id, so that several servers on one broker stay apart.
TEST_F(MqttUnitPublisherTest, DiscoveryDescribesServedUnitsAndClearsTheOthers)
{
    MqttUnitPublisher publisher(items, state, clock, out, "plant/hall1", {true, "ha"});
    publisher.onServedUnits({1, 3});
    const QString node = "ha/sensor/grainlink_plant_hall1/";
    EXPECT_EQ(out.count(node + "unit1_", false), 11);
    EXPECT_EQ(out.count(node + "unit3_", false), 11);
    EXPECT_EQ(out.count(node + "unit2_", true), 11);

    const QJsonObject counts = Json(out.at(node + "unit1_counts4um/config"));
    EXPECT_EQ(counts["unique_id"].toString(), "grainlink_plant_hall1_unit1_counts4um");
    EXPECT_EQ(counts["state_topic"].toString(), "plant/hall1/UNIT1/record");
    EXPECT_EQ(counts["device"]["identifiers"][0].toString(), "grainlink_plant_hall1_unit1");
    EXPECT_EQ(counts["device"]["name"].toString(), "QS2600 Line 1");
    EXPECT_EQ(counts["availability"][0]["topic"].toString(), "plant/hall1/status");
    EXPECT_EQ(counts["availability"][1]["topic"].toString(), "plant/hall1/UNIT1/availability");
    EXPECT_EQ(counts["availability_mode"].toString(), "all");

    publisher.onServedUnits({3});  // unit 1 taken out of service: its sensors go, none is left
    EXPECT_EQ(out.count(node + "unit1_", true), 11);
    EXPECT_EQ(out.count(node + "unit1_", false), 0);
    EXPECT_EQ(out.latest.size(), 4 + 4 * 11u) << "four availabilities and the 44 configs only";
}

}  // namespace
}  // namespace grainlink::test
