// What a program reading the broker sees of a unit, from the headless executable: stale values
// marked as such until a record arrives and again after a silence, demonstration records for a
// unit whose instrument says nothing, and the event log.
#include "tests/dde/test_broker.h"
#include "tests/integration/headless_server.h"
#include "tools/sim/serial_line.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace grainlink::test {
namespace {

const QByteArray kStatus = "GRAINLINK/UNIT1/status";
const QByteArray kCounts = "GRAINLINK/UNIT1/Counts4um";
const QByteArray kAvailability = "GRAINLINK/UNIT1/availability";
const QByteArray kRecord = "GRAINLINK/UNIT1/record";

class HeadlessOverMqtt : public HeadlessServer {
protected:
    void SetUp() override { ASSERT_TRUE(broker.start()); }

    TestBroker broker;
    std::unique_ptr<sim::SerialLine> line = sim::SerialLine::OpenPseudoTerminal();
};

TEST_F(HeadlessOverMqtt, ValuesAreMarkedStaleUntilARecordArrivesAndAgainAfterASilence)
{
    MqttSubscriber subscriber(broker.port(), "GRAINLINK/UNIT1/#");
    MqttSubscriber discovery(broker.port(), "homeassistant/#");
    writeConfig(line->path(), "[Settings]\nMessage time=4\n", broker.port());
    startServer();
    ASSERT_TRUE(subscriber.waitFor(kStatus, "Error"));
    EXPECT_EQ(subscriber.payloads(kCounts).back(), "-1");
    EXPECT_TRUE(subscriber.waitFor(kAvailability, "offline"));
    const auto snapshot = [&] {
        return QJsonDocument::fromJson(subscriber.payloads(kRecord).back()).object();
    };
    // "-1" is shown, but no consumer may store it as a measurement.
    const auto expectStale = [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !subscriber.payloads(kRecord).empty(); }, 5000));
        const QJsonObject stale = snapshot();
        EXPECT_EQ(stale["state"].toString(), "stale");
        EXPECT_EQ(stale["items"]["Counts4um"]["text"].toString(), "-1");
        EXPECT_TRUE(stale["items"]["Counts4um"]["value"].isNull());
        EXPECT_TRUE(stale["items"]["Temperature"]["value"].isNull());
    };
    expectStale();

    // ISO code 16.5 with 500 counts, no error bits.
    line->send(";A10001;A201;A30002;A421;B100F4240;B7003C;C50A5;C101F4;D400\r\n");
    ASSERT_TRUE(subscriber.waitFor(kStatus, "OK"));
    EXPECT_EQ(subscriber.payloads(kCounts).back(), "500");
    ASSERT_TRUE(subscriber.waitFor(kAvailability, "online"));
    const QJsonObject record = snapshot();
    EXPECT_EQ(record["state"].toString(), "live");
    EXPECT_EQ(record["unit"].toInt(), 1);
    EXPECT_EQ(record["name"].toString(), "Line A");
    EXPECT_EQ(record["items"]["Counts4um"]["value"].toDouble(), 500);
    EXPECT_EQ(record["items"]["ISOCode4um"]["text"].toString(), "16.5");

    ASSERT_TRUE(subscriber.waitFor(kStatus, "Error")) << "four silent seconds later";
    EXPECT_EQ(subscriber.payloads(kCounts).back(), "-1");
    EXPECT_TRUE(subscriber.waitFor(kAvailability, "offline"));
    expectStale();
    expectCleanExitOn(SIGTERM);
    EXPECT_TRUE(discovery.messages.empty()) << "discovery is off unless asked for";
}

// Texts that MQTT does not allow are refused at start-up with their key and reason, and the
// server publishes under the defaults instead of failing on every message.
TEST_F(HeadlessOverMqtt, MqttSettingsThatMqttDoesNotAllowFallBackToTheirDefaults)
{
    MqttSubscriber subscriber(broker.port(), "GRAINLINK/#");
    MqttSubscriber discovery(broker.port(), "homeassistant/#");
    writeConfig(line->path(),
                "TopicRoot=site\x07\nDiscovery=1\nDiscoveryPrefix=ha\x01\nClientId=gl\x7F\n",
                broker.port());
    startServer();
    ASSERT_TRUE(subscriber.waitFor("GRAINLINK/status", "online"));
    const QByteArray counts = "homeassistant/sensor/grainlink_GRAINLINK/unit1_counts4um/config";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !discovery.payloads(counts).empty(); }, 5000));
    expectCleanExitOn(SIGTERM);
    const QString errors = QString::fromUtf8(server.readAllStandardError());
    for (const char* refused :
         {"[MQTT] TopicRoot=site\\x07 cannot be used (holds the control character U+0007)",
          "[MQTT] DiscoveryPrefix=ha\\x01 cannot be used",
          "[MQTT] ClientId=gl\\x7F cannot be used"})
        EXPECT_TRUE(errors.contains(QLatin1String(refused))) << refused << "\n"
                                                             << errors.toStdString();
}

TEST_F(HeadlessOverMqtt, DemonstrationModeDealsRecordsToASilentUnitAndLogsNone)
{
    MqttSubscriber subscriber(broker.port(), "GRAINLINK/UNIT1/+");
    MqttSubscriber discovery(broker.port(), "homeassistant/sensor/grainlink_GRAINLINK/#");
    // Discovery on, in the [MQTT] section the configuration ends with.
    writeConfig(line->path(), "Discovery=1\n[Settings]\nMessage time=1\n", broker.port());
    startServer({"--demo"});
    // The empty text of a window that never had a value, stale at the opening, then A, B, C.
    const std::vector<QByteArray> expected = {"", "-1", "16.6", "15.9", "15.2"};
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return subscriber.payloads("GRAINLINK/UNIT1/ISOCode4um").size() >= 5; }, 15000));
    const std::vector<QByteArray> seen = subscriber.payloads("GRAINLINK/UNIT1/ISOCode4um");
    EXPECT_EQ(std::vector<QByteArray>(seen.begin(), seen.begin() + 5), expected);
    EXPECT_EQ(QJsonDocument::fromJson(subscriber.payloads(kRecord).back())["state"].toString(),
              "demonstration");

    const QByteArray counts = "homeassistant/sensor/grainlink_GRAINLINK/unit1_counts4um/config";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !discovery.payloads(counts).empty(); }, 5000));
    const QJsonObject sensor = QJsonDocument::fromJson(discovery.payloads(counts).back()).object();
    EXPECT_EQ(sensor["unique_id"].toString(), "grainlink_GRAINLINK_unit1_counts4um");
    for (const QByteArray& payload :
         discovery.payloads("homeassistant/sensor/grainlink_GRAINLINK/unit2_counts4um/config"))
        EXPECT_TRUE(payload.isEmpty()) << "a unit not served is cleared, not described";
    expectCleanExitOn(SIGTERM);

    QFile log(dir.filePath("Data1.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count('\n'), 1) << "the header only";
}

// The "event" of each message on the events topic, in arrival order.
QStringList EventNames(const MqttSubscriber& subscriber)
{
    QStringList names;
    for (const QByteArray& payload : subscriber.payloads("GRAINLINK/events"))
        names << QJsonDocument::fromJson(payload)["event"].toString();
    return names;
}

TEST_F(HeadlessOverMqtt, EventsGoToTheBrokerTheEventsFileAndStandardError)
{
    // Events are not retained: a retained probe tells when the subscriber listens.
    ASSERT_EQ(QProcess::execute("mosquitto_pub", {"-h", "127.0.0.1", "-p",
                                                  QString::number(broker.port()), "-r", "-t",
                                                  "GRAINLINK/probe", "-m", "x"}),
              0);
    MqttSubscriber subscriber(broker.port(), "GRAINLINK/#");
    ASSERT_TRUE(subscriber.waitFor("GRAINLINK/probe", "x"));
    writeConfig(line->path(), {}, broker.port());
    startServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return EventNames(subscriber).contains("Port opened"); },
                                15000));
    // ISO code 16.5 with the TempHigh alarm (error bit 5).
    line->send(";A10001;A201;A30002;A421;B100F4240;B7003C;C50A5;C101F4;D420\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return EventNames(subscriber).contains("Status Fault"); },
                                15000));
    expectCleanExitOn(SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return EventNames(subscriber).contains("Server stopping"); }, 5000));
    QStringList names = EventNames(subscriber);
    EXPECT_EQ(names.removeAll("Broker connected"), 1) << "whenever the connection comes";
    EXPECT_EQ(names, (QStringList{"Server started", "Port opened", "Alarm set", "Status Fault",
                                  "Server stopping"}));
    const QJsonObject alarm = QJsonDocument::fromJson(
        subscriber.payloads("GRAINLINK/events")[EventNames(subscriber).indexOf("Alarm set")])
                                  .object();
    EXPECT_EQ(alarm["unit"].toInt(), 1);
    EXPECT_EQ(alarm["name"].toString(), "Line A");
    EXPECT_EQ(alarm["detail"].toString(), "TempHigh");
    EXPECT_EQ(alarm["severity"].toString(), "warning");
    EXPECT_TRUE(QDateTime::fromString(alarm["time"].toString(), Qt::ISODate).isValid());

    QFile file(dir.filePath("events.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.filter(QRegularExpression("^[-0-9T:+]{25}\tUnit 1 \\(Line A\\)\tAlarm set\t"
                                              "TempHigh$"))
                  .size(),
              1)
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.last().endsWith("\t\tServer stopping\t"));
    const QString errors = QString::fromUtf8(server.readAllStandardError());
    EXPECT_TRUE(errors.contains("Event: Unit 1 (Line A): Alarm set: TempHigh\n"))
        << errors.toStdString();
}

}  // namespace
}  // namespace grainlink::test
