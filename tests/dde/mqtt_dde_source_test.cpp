#include "platform/mqtt_dde_source.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "tests/dde/test_broker.h"

namespace grainlink::test {
namespace {

// A server's item source on the private broker, topic root "GL", once it is connected. By host
// name, so that the name is resolved as in production.
std::unique_ptr<MqttDdeSource> ConnectedSource(quint16 port)
{
    auto source = std::make_unique<MqttDdeSource>(
        MqttSettings{.host = "localhost", .port = port, .topicRoot = "GL"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return source->isConnected(); }, 20000));
    return source;
}

TEST(MqttSourceTest, SubscribersGetEveryChangeOnceAndTheCurrentTextsLaterAlsoAfterARestart)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    const auto source = ConnectedSource(broker.port());
    source->setItem("UNIT3", "Counts6um", "0");
    source->setItem("UNIT3", "Temperature", QStringLiteral("-5 µ"));
    MqttSubscriber live(broker.port(), "GL/UNIT3/+");
    ASSERT_TRUE(live.waitFor("GL/UNIT3/Counts6um", "0"));
    for (const char* text : {"1", "2", "2", "3", ""}) source->setItem("UNIT3", "Counts6um", text);
    ASSERT_TRUE(live.waitFor("GL/UNIT3/Counts6um", ""));
    EXPECT_EQ(live.payloads("GL/UNIT3/Counts6um"),
              (std::vector<QByteArray>{"0", "1", "2", "3", ""}));

    // A later subscriber gets the current texts before any later change, and nothing for an
    // emptied item.
    MqttSubscriber late(broker.port(), "GL/#");
    source->setItem("UNIT3", "SampleTime", "later");
    ASSERT_TRUE(late.waitFor("GL/UNIT3/SampleTime", "later"));
    EXPECT_EQ(late.payloads("GL/UNIT3/Temperature"), std::vector<QByteArray>{"-5 \xC2\xB5"});
    EXPECT_TRUE(late.payloads("GL/UNIT3/Counts6um").empty());

    // The restarted broker remembers nothing: what it holds then comes from the republication,
    // changes made while it was down included.
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);
    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 20000));
    source->setRetained("GL/UNIT2/record", "{}");
    const auto* retry = source->findChild<QTimer*>("retry");
    ASSERT_NE(retry, nullptr);
    // Several reconnection attempts fail: the delay between them has grown to a second.
    ASSERT_TRUE(QTest::qWaitFor([&] { return retry->interval() >= 1000; }, 20000));
    ASSERT_TRUE(broker.start());
    MqttSubscriber restarted(broker.port(), "GL/#");
    EXPECT_TRUE(restarted.waitFor("GL/UNIT2/record", "{}"));
    EXPECT_TRUE(restarted.waitFor("GL/UNIT3/Temperature", "-5 \xC2\xB5"));
    EXPECT_TRUE(restarted.waitFor("GL/status", "online"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.last()[0].toBool(); }, 20000));
    QStringList failures;
    for (const auto& change : changes.mid(0, changes.size() - 1)) failures << change[1].toString();
    ASSERT_EQ(failures.size(), 1) << "the outage once: " << failures.join('\n').toStdString();
    EXPECT_TRUE(failures[0].endsWith(" lost: the broker closed the connection"))
        << failures[0].toStdString();
}

TEST(MqttSourceTest, StatusIsOfflineWhenTheServerDiesAndAfterShutdown)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttSubscriber watcher(broker.port(), "GL/status");
    QProcess killed;
    killed.start(QStringLiteral(DDE_MQTT_CHILD), {QString::number(broker.port())});
    ASSERT_TRUE(watcher.waitFor("GL/status", "online"));
    killed.kill();
    ASSERT_TRUE(watcher.waitFor("GL/status", "offline"));  // the last will

    const auto source = ConnectedSource(broker.port());
    ASSERT_TRUE(watcher.waitFor("GL/status", "online"));
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);
    source->shutdown();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_FALSE(changes[0][0].toBool());
    EXPECT_TRUE(watcher.waitFor("GL/status", "offline"));
}

// Events are news: those published before the connection go out on it, in order, the oldest
// dropped beyond the bound; none is kept for a later subscriber.
TEST(MqttSourceTest, MessagesWaitForTheConnectionInOrderAndAreNotRetained)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    const auto other = ConnectedSource(broker.port());
    other->setRetained("GL/probe", "x");
    MqttSubscriber early(broker.port(), "GL/#");
    ASSERT_TRUE(early.waitFor("GL/probe", "x")) << "subscribed";

    MqttDdeSource source(
        MqttSettings{.host = "127.0.0.1", .port = broker.port(), .topicRoot = "GL"});
    ASSERT_FALSE(source.isConnected());
    const int count = MqttDdeSource::kMaxWaitingMessages + 1;
    for (int i = 0; i < count; ++i) source.publish("GL/events", QByteArray::number(i));
    ASSERT_TRUE(early.waitFor("GL/events", QByteArray::number(count - 1)));
    const std::vector<QByteArray> got = early.payloads("GL/events");
    ASSERT_EQ(got.size(), MqttDdeSource::kMaxWaitingMessages);
    EXPECT_EQ(got.front(), "1") << "the oldest was dropped";
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end(),
                               [](const QByteArray& a, const QByteArray& b) {
                                   return a.toInt() < b.toInt();
                               }));

    MqttSubscriber late(broker.port(), "GL/#");
    ASSERT_TRUE(late.waitFor("GL/probe", "x")) << "subscribed";
    source.publish("GL/events", "live");
    ASSERT_TRUE(late.waitFor("GL/events", "live"));
    EXPECT_EQ(late.payloads("GL/events"), std::vector<QByteArray>{"live"});
}

// An event sent on a connection that died before the broker acknowledged it goes out again on
// the next one: the broker froze, the source found the link dead at the keepalive time, and the
// broker was killed, taking what it had not read with it.
TEST(MqttSourceTest, AnEventTheBrokerNeverAcknowledgedIsSentAgainOnTheNextConnection)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttDdeSource source(MqttSettings{
        .host = "127.0.0.1", .port = broker.port(), .topicRoot = "GL", .keepAliveSeconds = 5});
    ASSERT_TRUE(QTest::qWaitFor([&] { return source.isConnected(); }, 20000));
    MqttSubscriber first(broker.port(), "GL/#");
    source.setRetained("GL/probe", "x");
    ASSERT_TRUE(first.waitFor("GL/probe", "x")) << "subscribed";
    source.publish("GL/events", "acknowledged");
    // The broker acknowledges an event before it passes it on: the acknowledgement is in by the
    // time a subscriber has the event.
    ASSERT_TRUE(first.waitFor("GL/events", "acknowledged"));
    QCoreApplication::processEvents();
    auto* retry = source.findChild<QTimer*>("retry");
    ASSERT_NE(retry, nullptr);
    broker.freeze();
    source.publish("GL/events", "in flight");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !source.isConnected(); }, 20000));
    retry->stop();  // until the new broker has its subscriber
    broker.stop();
    ASSERT_TRUE(broker.start());
    MqttSubscriber subscriber(broker.port(), "GL/#");
    const auto other = ConnectedSource(broker.port());
    other->setRetained("GL/other", "x");
    ASSERT_TRUE(subscriber.waitFor("GL/other", "x")) << "subscribed";
    retry->start(0);
    ASSERT_TRUE(subscriber.waitFor("GL/probe", "x")) << "connected again";
    ASSERT_TRUE(subscriber.waitFor("GL/events", "in flight"));
    EXPECT_EQ(subscriber.payloads("GL/events"), std::vector<QByteArray>{"in flight"})
        << "what the broker acknowledged is not sent again";
}

}  // namespace
}  // namespace grainlink::test
