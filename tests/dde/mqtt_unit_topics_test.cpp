#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "platform/mqtt_dde_source.h"
#include "server/dde_publisher.h"
#include "server/mqtt_unit_publisher.h"
#include "tests/dde/test_broker.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

// A server's items and unit topics on a real broker, as a consumer subscribed to it sees them.
struct Server {
    Server(quint16 port, const QString& root, MqttDiscoverySettings discovery)
        : source({.host = "127.0.0.1", .port = port, .topicRoot = root}),
          items_publisher(items, source),
          publisher(items, state, clock, source, root, std::move(discovery))
    {
        state.NumUnits = 2;
        state.UnitEnabled[1] = true;
        state.UnitName[1] = QStringLiteral("Line A");
        state.HardwareName = QStringLiteral("QS2600");
        publisher.onServedUnits(ServedUnits(state));
    }
    ItemTables items;
    SharedState state;
    FakeClock clock;
    MqttDdeSource source;
    DdePublisher items_publisher;
    MqttUnitPublisher publisher;
};

TEST(MqttUnitTopicsTest, ConsumersReadTheRecordAvailabilityAndDiscoveryFromTheBroker)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    Server server(broker.port(), "GL", {.enabled = true, .prefix = "homeassistant"});
    Server plain(broker.port(), "PLAIN", {});
    MqttSubscriber consumer(broker.port(), "#");

    server.items[1].setText(Item::ISOCode4um, QStringLiteral("16.5"));
    server.items[1].setText(Item::Counts4um, QStringLiteral("513"));
    server.publisher.onRecord(1);
    ASSERT_TRUE(consumer.waitFor("GL/UNIT1/availability", "online"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !consumer.payloads("GL/UNIT1/record").empty(); }));
    const std::vector<QByteArray> records = consumer.payloads("GL/UNIT1/record");
    const QJsonObject record = QJsonDocument::fromJson(records.back()).object();
    EXPECT_EQ(record["name"].toString(), "Line A");
    for (Item item : AllItems())
        EXPECT_EQ(record["items"][ItemName(item)]["text"].toString(), server.items[1].text(item));
    EXPECT_EQ(record["items"]["ISOCode4um"]["value"].toDouble(), 16.5);

    server.publisher.onUnitStale(1);
    EXPECT_TRUE(consumer.waitFor("GL/UNIT1/availability", "offline"));
    server.publisher.onRecord(1);
    EXPECT_TRUE(consumer.waitFor("GL/UNIT1/availability", "online"));

    // Discovery of the served unit only, and only from the server that has it on: the other
    // server's status comes after all it publishes on connecting.
    const auto configs = [&] {
        QStringList found;
        for (const auto& message : consumer.messages)
            if (message.topic.startsWith("homeassistant/") && !message.payload.isEmpty())
                found << QString::fromUtf8(message.topic);
        return found;
    };
    ASSERT_TRUE(consumer.waitFor("PLAIN/status", "online"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return configs().size() >= 11; }, 20000));
    EXPECT_EQ(configs().filter("homeassistant/sensor/grainlink_GL/unit1_").size(), 11)
        << configs().join(' ').toStdString();
    EXPECT_EQ(configs().size(), 11);

    // Kept by the source: a restarted broker gets them all again.
    broker.stop();
    ASSERT_TRUE(broker.start());
    MqttSubscriber late(broker.port(), "GL/UNIT1/#");
    EXPECT_TRUE(late.waitFor("GL/UNIT1/availability", "online"));
    EXPECT_TRUE(late.waitFor("GL/UNIT1/record", consumer.payloads("GL/UNIT1/record").back()));
}

}  // namespace
}  // namespace grainlink::test
