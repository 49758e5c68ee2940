#include "platform/mqtt_dde_source.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <set>

#include "server/dde_publisher.h"
#include "tests/dde/test_broker.h"

namespace grainlink::test {
namespace {

// A server's item source and real subscribers on a private broker. Topic root "GL".
class MqttSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(broker.start()); }

    // By name, so that the host is resolved as in production.
    std::unique_ptr<MqttDdeSource> connectedSource()
    {
        auto source =
            std::make_unique<MqttDdeSource>(
                MqttSettings{.host = "localhost", .port = broker.port(), .topicRoot = "GL"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return source->isConnected(); }, 20000));
        return source;
    }

    TestBroker broker;
};

TEST_F(MqttSourceTest, LateSubscriberReadsTheCurrentTextOfEveryItem)
{
    ItemTables items;  // units 1, 3 and 4 keep the texts of a window before its first record
    for (Item item : AllItems()) items[2].setText(item, ItemName(item) + QStringLiteral(" µ"));
    const auto source = connectedSource();
    DdePublisher publisher(items, *source);
    items[3].setText(Item::Flow, QStringLiteral("1"));
    // Once the broker has passed on this last change it holds everything published before it.
    ASSERT_TRUE(MqttSubscriber(broker.port(), "GL/UNIT3/Flow").waitFor("GL/UNIT3/Flow", "1"));

    std::multiset<QString> expected = {"GL/status=online"};
    for (int unit = 1; unit <= 4; ++unit)
        for (Item item : AllItems())  // an empty text is no retained message at all
            if (const QString text = items[unit].text(item); !text.isEmpty())
                expected.insert("GL/" + items[unit].topic() + u'/' + ItemName(item) + u'=' + text);
    MqttSubscriber late(broker.port(), "GL/#");
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.messages.size() >= expected.size(); }, 20000));
    std::multiset<QString> received;  // all held by the broker, as all was sent before
    for (const auto& message : late.messages)
        received.insert(QString::fromUtf8(message.topic + '=' + message.payload));
    EXPECT_EQ(received, expected);
}

TEST_F(MqttSourceTest, LiveSubscriberReceivesEveryChangeOnceAndAnEmptyTextClearsTheItem)
{
    const auto source = connectedSource();
    source->setItem("UNIT3", "Counts6um", "0");
    MqttSubscriber live(broker.port(), "GL/UNIT3/+");
    ASSERT_TRUE(live.waitFor("GL/UNIT3/Counts6um", "0"));

    for (const char* text : {"1", "2", "2", "3", ""}) source->setItem("UNIT3", "Counts6um", text);
    ASSERT_TRUE(live.waitFor("GL/UNIT3/Counts6um", ""));
    EXPECT_EQ(live.payloads("GL/UNIT3/Counts6um"),
              (std::vector<QByteArray>{"0", "1", "2", "3", ""}));

    // Retained values reach a new subscriber before any later change does.
    MqttSubscriber late(broker.port(), "GL/UNIT3/+");
    source->setItem("UNIT3", "SampleTime", "later");
    ASSERT_TRUE(late.waitFor("GL/UNIT3/SampleTime", "later"));
    EXPECT_TRUE(late.payloads("GL/UNIT3/Counts6um").empty());
}

TEST_F(MqttSourceTest, StatusIsOfflineWhenTheServerDiesAndAfterShutdown)
{
    MqttSubscriber watcher(broker.port(), "GL/status");
    QProcess killed;
    killed.start(QStringLiteral(DDE_MQTT_CHILD), {QString::number(broker.port())});
    ASSERT_TRUE(watcher.waitFor("GL/status", "online"));
    killed.kill();
    ASSERT_TRUE(watcher.waitFor("GL/status", "offline"));  // the last will

    const auto source = connectedSource();
    ASSERT_TRUE(watcher.waitFor("GL/status", "online"));
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);
    source->shutdown();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_FALSE(changes[0][0].toBool());
    EXPECT_TRUE(watcher.waitFor("GL/status", "offline"));
}

TEST_F(MqttSourceTest, BrokerRestartRepublishesCurrentValuesIncludingChangesWhileDown)
{
    const auto source = connectedSource();
    source->setItem("UNIT1", "SystemID", "0A0B");
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);

    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 20000));
    source->setItem("UNIT2", "Counts4um", "2.5");
    // Several reconnection attempts fail in this time; each reason is still reported only once.
    QTest::qWait(1000);
    ASSERT_TRUE(broker.start());

    // The restarted broker remembers nothing: all of this comes from the republication.
    MqttSubscriber late(broker.port(), "GL/#");
    EXPECT_TRUE(late.waitFor("GL/UNIT2/Counts4um", "2.5"));
    EXPECT_TRUE(late.waitFor("GL/UNIT1/SystemID", "0A0B"));
    EXPECT_TRUE(late.waitFor("GL/status", "online"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.last()[0].toBool(); }, 20000));
    QStringList failures;
    for (const auto& change : changes.mid(0, changes.size() - 1)) {
        EXPECT_FALSE(change[0].toBool());
        failures << change[1].toString();
    }
    ASSERT_FALSE(failures.isEmpty());
    EXPECT_TRUE(failures[0].endsWith(" lost: the broker closed the connection"))
        << failures[0].toStdString();
    EXPECT_EQ(failures.removeDuplicates(), 0) << failures.join('\n').toStdString();
}

}  // namespace
}  // namespace grainlink::test
