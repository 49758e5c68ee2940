#include "platform/mqtt_dde_source.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
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
    QTest::qWait(1000);  // several reconnection attempts fail in this time
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

}  // namespace
}  // namespace grainlink::test
