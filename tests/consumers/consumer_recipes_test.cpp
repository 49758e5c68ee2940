// The consumers' recipes shipped with the server, run on the topics and payloads the server
// publishes: the importable Node-RED flow (by node, without Node-RED) and the Home Assistant
// discovery templates (by Jinja, as Home Assistant renders them).
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>

#include "platform/mqtt_dde_source.h"
#include "server/ha_discovery.h"
#include "server/record_snapshot.h"
#include "server/unit_status.h"
#include "server/unit_topics.h"

namespace grainlink::test {
namespace {

// Runs the program with `lines` on its standard input; the lines of its standard output.
QStringList RunWithInput(const QString& program, const QStringList& arguments,
                         const QByteArrayList& input)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input.join('\n') + '\n');
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A record snapshot of the unit as the server publishes it: a typical record with the 4 µm ISO
// code given, or the stale marking.
QByteArray Snapshot(int unit, const char* iso4, RecordState state)
{
    ItemTable table(unit);
    const std::pair<Item, const char*> texts[] = {
        {Item::Counts4um, "513"},  {Item::Counts6um, "120"},   {Item::Counts14um, "9"},
        {Item::Counts21um, "0.5"}, {Item::ISOCode4um, iso4},   {Item::ISOCode6um, "14.0"},
        {Item::ISOCode14um, "10"}, {Item::ISOCode21um, "8.1"}, {Item::Temperature, "-5"},
        {Item::FlowIndex, "24"},   {Item::status, "OK"},
    };
    for (const auto& [item, text] : texts) table.setText(item, QString::fromUtf8(text));
    if (state == RecordState::Stale) MarkUnitInvalid(table);
    const QDateTime time(QDate(2026, 12, 6), QTime(14, 3, 5), QTimeZone(3600));
    return RecordSnapshot(table, QStringLiteral("Line %1").arg(unit), time, state);
}

class NodeRedFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("node").isEmpty()) GTEST_SKIP() << "no node";
    }

    // A message the broker kept (`retained`, delivered on subscribing) or one published now.
    void send(const QString& topic, const QByteArray& payload, bool retained,
              const QString& expected)
    {
        m_messages << Json(
            {{"topic", topic}, {"payload", QString::fromUtf8(payload)}, {"retain", retained}});
        m_expected << expected;
    }

    // Runs the flow with its subscriptions' "GRAINLINK" replaced by `root` (none: as shipped)
    // and compares, message by message, the alarms that reached its output: "server unit
    // alarm|ok", or nothing.
    void runFlow(const QString& root)
    {
        QStringList arguments{NODE_RED_RUNNER, NODE_RED_FLOW};
        if (!root.isEmpty()) arguments << root;
        const QStringList outputs = RunWithInput(QStringLiteral("node"), arguments, m_messages);
        ASSERT_EQ(outputs.size(), m_expected.size());
        for (qsizetype i = 0; i < outputs.size(); ++i) {
            QStringList alarms;
            for (const QJsonValue alarm : QJsonDocument::fromJson(outputs[i].toUtf8()).array())
                alarms << QStringLiteral("%1 %2 %3")
                              .arg(alarm["server"].toString(),
                                   QString::number(alarm["unit"].toInt()),
                                   alarm["alarm"].toBool() ? "alarm" : "ok");
            EXPECT_EQ(alarms.join(", ").toStdString(), m_expected[i].toStdString())
                << m_messages[i].toStdString();
        }
        m_messages.clear();
        m_expected.clear();
    }

private:
    QByteArrayList m_messages;
    QStringList m_expected;
};

// The server and the unit are read from the end of the topic, whatever the root's depth.
TEST_F(NodeRedFlowTest, ReadsServerAndUnitFromTopicsOfAnyRoot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"GRAINLINK", ""}, {"plant/hall1", "plant/+"}, {"site/a/UNIT2", "site/a/UNIT2"}};
    constexpr bool kKept = true;
    constexpr bool kNew = false;
    for (const auto& [root, subscription] : cases) {
        SCOPED_TRACE(root);
        const QString alarm = QStringLiteral("%1 3 alarm").arg(root);
        send(MqttStatusTopic(root), "online", kKept, "");
        send(UnitTopic(root, 3, "availability"), "online", kKept, "");
        send(UnitTopic(root, 3, "ISOCode4um"), "19", kNew, "");
        send(UnitTopic(root, 3, "record"), Snapshot(3, "19", RecordState::Live), kKept, alarm);
        send(UnitTopic(root, 3, "record"), Snapshot(3, "-1", RecordState::Stale), kNew, "");
        send(UnitTopic(root, 3, "availability"), "offline", kNew, "");
        send(UnitTopic(root, 3, "record"), Snapshot(3, "19", RecordState::Live), kKept, "");
        send(UnitTopic(root, 3, "record"), Snapshot(3, "16.5", RecordState::Live), kNew,
             QStringLiteral("%1 3 ok").arg(root));
        runFlow(subscription);
    }
}

// Two halls on one broker, as the README advises. A record kept by the broker from before
// counts only while its own server's status and its own unit's availability are online.
TEST_F(NodeRedFlowTest, KeepsTheServersOnOneBrokerApart)
{
    const QString hall1 = "plant/hall1";
    const QString hall2 = "plant/hall2";
    constexpr bool kKept = true;
    send(MqttStatusTopic(hall1), "online", kKept, "");
    send(MqttStatusTopic(hall2), "online", kKept, "");
    send(UnitTopic(hall1, 1, "availability"), "online", kKept, "");
    send(UnitTopic(hall2, 2, "availability"), "online", kKept, "");
    send(UnitTopic(hall1, 1, "record"), Snapshot(1, "19", RecordState::Live), kKept,
         "plant/hall1 1 alarm");
    send(UnitTopic(hall2, 1, "record"), Snapshot(1, "19", RecordState::Live), kKept, "");
    send(UnitTopic(hall2, 2, "record"), Snapshot(2, "12", RecordState::Demonstration), kKept,
         "plant/hall2 2 ok");
    send(UnitTopic(hall1, 2, "record"), Snapshot(2, "12", RecordState::Live), kKept, "");
    send(MqttStatusTopic(hall2), "offline", !kKept, "");  // the server's last will
    send(UnitTopic(hall2, 2, "record"), Snapshot(2, "12", RecordState::Live), kKept, "");
    send(UnitTopic(hall1, 2, "record"), Snapshot(2, "12", RecordState::Live), !kKept,
         "plant/hall1 2 ok");
    runFlow("plant/+");
}

// Home Assistant must get numbers from live records and "unknown" (None) for a stale unit,
// never the "-1" the windows show.
TEST(HomeAssistantDiscoveryTest, TemplatesGiveNumbersOfRecordsAndNoneOfAStaleUnit)
{
    const QStringList python{"-c", "import jinja2"};
    if (QProcess::execute(QStringLiteral("python3"), python) != 0) GTEST_SKIP() << "no Jinja";
    const std::vector<RetainedMessage> configs =
        DiscoveryConfigs("homeassistant", {"GRAINLINK", 1, "Line A", "QS2600"});
    const QByteArray live = Snapshot(1, "16.5", RecordState::Live);
    const QByteArray stale = Snapshot(1, "16.5", RecordState::Stale);
    QByteArrayList requests;
    for (const RetainedMessage& config : configs)
        for (const QByteArray& payload : {live, stale})
            requests << Json(
                {{"template", QJsonDocument::fromJson(config.payload)["value_template"]},
                 {"payload", QString::fromUtf8(payload)}});
    const QStringList rendered =
        RunWithInput(QStringLiteral("python3"), {TEMPLATE_RENDERER}, requests);
    ASSERT_EQ(rendered.size(), requests.size());

    // Each config's topic ends in "unit1_<item in lower case>/config".
    QHash<QString, QJsonObject> liveItems;
    const QJsonObject items = QJsonDocument::fromJson(live)["items"].toObject();
    for (auto entry = items.begin(); entry != items.end(); ++entry)
        liveItems.insert(entry.key().toLower(), entry.value().toObject());
    for (size_t i = 0; i < configs.size(); ++i) {
        const QString item = configs[i].topic.section('/', -2, -2).section('_', 1);
        ASSERT_TRUE(liveItems.contains(item)) << configs[i].topic.toStdString();
        const QJsonObject entry = liveItems[item];
        const QString& fromLive = rendered[2 * i];
        const QString& fromStale = rendered[2 * i + 1];
        SCOPED_TRACE(item.toStdString());
        if (entry.contains("value")) {
            EXPECT_DOUBLE_EQ(fromLive.toDouble(), entry["value"].toDouble())
                << fromLive.toStdString();
            EXPECT_EQ(fromStale.toStdString(), "None");
        } else {
            EXPECT_EQ(fromLive.toStdString(), "OK");
            EXPECT_EQ(fromStale.toStdString(), "Error");
        }
    }
}

}  // namespace
}  // namespace grainlink::test
