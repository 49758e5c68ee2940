#include "platform/mqtt_dde_source.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "display/item_table.h"
#include "server/dde_publisher.h"
#include "tests/dde/mqtt_subscriber.h"
#include "tests/dde/test_broker.h"

namespace grainlink::test {
namespace {

constexpr int kWaitMs = 20000;

using Payloads = std::vector<QByteArray>;

// A server's item source and real subscribers on a private broker. Topic root "GL".
class MqttSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(broker.start()); }

    MqttSettings settings(const QString& host = QStringLiteral("127.0.0.1")) const
    {
        return MqttSettings{host, broker.port(), QStringLiteral("GL")};
    }

    std::unique_ptr<MqttDdeSource> connectedSource()
    {
        auto source = std::make_unique<MqttDdeSource>(settings());
        EXPECT_TRUE(QTest::qWaitFor([&] { return source->isConnected(); }, kWaitMs));
        return source;
    }

    std::unique_ptr<MqttSubscriber> subscriber(const QByteArray& filter = "GL/#")
    {
        auto sub = std::make_unique<MqttSubscriber>(broker.port(), filter);
        EXPECT_TRUE(QTest::qWaitFor([&] { return sub->subscribed(); }, kWaitMs));
        return sub;
    }

    static bool waitForPayload(const MqttSubscriber& sub, const QByteArray& topic,
                               const QByteArray& payload)
    {
        return QTest::qWaitFor(
            [&] {
                const auto latest = sub.latest(topic);
                return latest && latest->payload == payload;
            },
            kWaitMs);
    }

    TestBroker broker;
};

TEST_F(MqttSourceTest, LateSubscriberReadsEveryItemOfAllFourTopics)
{
    // An empty text clears a retained value, so every item gets a text of its own here.
    ItemTables items;
    for (int unit = 1; unit <= 3; ++unit)
        for (Item item : AllItems())
            items[unit].setText(item,
                                QStringLiteral("%1.%2").arg(unit).arg(static_cast<int>(item)));
    MqttDdeSource source(settings());
    DdePublisher publisher(items, source);
    ASSERT_TRUE(QTest::qWaitFor([&] { return source.isConnected(); }, kWaitMs));
    const QByteArray firmware = QStringLiteral("v2.1 µ").toUtf8();
    items[1].setText(Item::Firmware, QString::fromUtf8(firmware));
    // Once the broker has passed on the last change it holds everything published before it.
    ASSERT_TRUE(waitForPayload(*subscriber("GL/UNIT1/Firmware"), "GL/UNIT1/Firmware", firmware));

    const auto late = subscriber();
    // Unit 4 keeps the texts a window shows before its first record; only the non-empty ones
    // are held by the broker.
    const auto published = [&](int unit, Item item) {
        return unit < 4 || !items[unit].text(item).isEmpty();
    };
    int expected = 1;
    for (int unit = 1; unit <= 4; ++unit)
        for (Item item : AllItems()) expected += published(unit, item);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return late->messages().size() >= std::size_t(expected); }, kWaitMs));
    for (int unit = 1; unit <= 4; ++unit) {
        for (Item item : AllItems()) {
            if (!published(unit, item)) continue;
            const QByteArray topic =
                QStringLiteral("GL/UNIT%1/%2").arg(unit).arg(ItemName(item)).toUtf8();
            const auto message = late->latest(topic);
            ASSERT_TRUE(message) << topic.constData();
            EXPECT_EQ(message->payload, items[unit].text(item).toUtf8()) << topic.constData();
        }
    }
    EXPECT_EQ(late->latest("GL/UNIT4/SystemID")->payload, "FFFF");
    EXPECT_EQ(late->latest("GL/UNIT4/Flow")->payload, "0");
    EXPECT_TRUE(late->latest("GL/UNIT4/SystemID")->retained);
    EXPECT_EQ(late->latest("GL/status")->payload, "online");
}

TEST_F(MqttSourceTest, LiveSubscriberReceivesEveryChangeOnce)
{
    const auto source = connectedSource();
    source->setItem(QStringLiteral("UNIT3"), QStringLiteral("Counts6um"), QStringLiteral("0"));
    const auto live = subscriber("GL/UNIT3/Counts6um");
    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT3/Counts6um", "0"));

    for (const char* text : {"1", "2", "2", "3"})
        source->setItem(QStringLiteral("UNIT3"), QStringLiteral("Counts6um"),
                        QString::fromLatin1(text));

    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT3/Counts6um", "3"));
    EXPECT_EQ(live->payloads("GL/UNIT3/Counts6um"), (Payloads{"0", "1", "2", "3"}));
    EXPECT_FALSE(live->latest("GL/UNIT3/Counts6um")->retained);
}

TEST_F(MqttSourceTest, EmptyTextClearsTheRetainedValue)
{
    const auto source = connectedSource();
    source->setItem(QStringLiteral("UNIT3"), QStringLiteral("Firmware"), QStringLiteral("abc"));
    const auto live = subscriber("GL/UNIT3/+");
    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT3/Firmware", "abc"));

    source->setItem(QStringLiteral("UNIT3"), QStringLiteral("Firmware"), QString());
    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT3/Firmware", ""));

    // Retained values reach a new subscriber before any later change does.
    const auto late = subscriber("GL/UNIT3/+");
    source->setItem(QStringLiteral("UNIT3"), QStringLiteral("SampleTime"), QStringLiteral("later"));
    ASSERT_TRUE(waitForPayload(*late, "GL/UNIT3/SampleTime", "later"));
    EXPECT_TRUE(late->payloads("GL/UNIT3/Firmware").empty());
}

TEST_F(MqttSourceTest, StatusIsOnlineWhileConnectedAndOfflineAfterShutdown)
{
    const auto source = connectedSource();
    const auto watcher = subscriber("GL/status");
    ASSERT_TRUE(waitForPayload(*watcher, "GL/status", "online"));
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);

    source->shutdown();

    EXPECT_FALSE(source->isConnected());
    ASSERT_EQ(changes.size(), 1);
    EXPECT_FALSE(changes[0][0].toBool());
    ASSERT_TRUE(waitForPayload(*watcher, "GL/status", "offline"));
    const auto late = subscriber("GL/status");
    ASSERT_TRUE(waitForPayload(*late, "GL/status", "offline"));
    EXPECT_TRUE(late->latest("GL/status")->retained);
}

TEST_F(MqttSourceTest, BrokerAnnouncesOfflineWhenTheServerDiesWithoutShutdown)
{
    const auto watcher = subscriber("GL/#");
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(QStringLiteral(DDE_MQTT_CHILD),
                 {QString::number(broker.port()), QStringLiteral("GL")});
    ASSERT_TRUE(server.waitForStarted(5000));
    ASSERT_TRUE(waitForPayload(*watcher, "GL/UNIT1/status", "OK"));
    ASSERT_TRUE(waitForPayload(*watcher, "GL/status", "online"));

    server.kill();
    server.waitForFinished(5000);

    EXPECT_TRUE(waitForPayload(*watcher, "GL/status", "offline"));
}

TEST_F(MqttSourceTest, BrokerRestartRepublishesCurrentValuesIncludingChangesWhileDown)
{
    const auto source = connectedSource();
    source->setItem(QStringLiteral("UNIT1"), QStringLiteral("SystemID"), QStringLiteral("0A0B"));
    source->setItem(QStringLiteral("UNIT2"), QStringLiteral("Counts4um"), QStringLiteral("1.5"));
    const auto live = subscriber();
    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT2/Counts4um", "1.5"));
    QSignalSpy changes(source.get(), &MqttDdeSource::connectionChanged);

    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, kWaitMs));
    source->setItem(QStringLiteral("UNIT2"), QStringLiteral("Counts4um"), QStringLiteral("2.5"));
    // Several reconnection attempts fail in this time; the loss is still reported only once.
    QTest::qWait(1000);
    ASSERT_TRUE(broker.start());

    ASSERT_TRUE(waitForPayload(*live, "GL/UNIT2/Counts4um", "2.5"));
    // The restarted broker remembers nothing, so the untouched items come from the republication.
    const auto late = subscriber();
    EXPECT_TRUE(waitForPayload(*late, "GL/UNIT1/SystemID", "0A0B"));
    EXPECT_TRUE(waitForPayload(*late, "GL/UNIT2/Counts4um", "2.5"));
    EXPECT_TRUE(waitForPayload(*late, "GL/status", "online"));
    ASSERT_EQ(changes.size(), 2);
    EXPECT_FALSE(changes[0][0].toBool());
    EXPECT_TRUE(changes[1][0].toBool());
    EXPECT_EQ(live->payloads("GL/UNIT2/Counts4um"), (Payloads{"1.5", "2.5"}));
}

TEST_F(MqttSourceTest, MissingBrokerAtStartIsReportedOnceAndValuesFollowWhenItAppears)
{
    broker.stop();
    MqttDdeSource source(settings(QStringLiteral("localhost")));
    QSignalSpy changes(&source, &MqttDdeSource::connectionChanged);
    source.setItem(QStringLiteral("UNIT4"), QStringLiteral("Temperature"), QStringLiteral("21.0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, kWaitMs));
    source.setItem(QStringLiteral("UNIT4"), QStringLiteral("Temperature"), QStringLiteral("22.0"));
    QTest::qWait(1000);

    ASSERT_TRUE(broker.start());
    const auto late = subscriber();

    ASSERT_TRUE(waitForPayload(*late, "GL/UNIT4/Temperature", "22.0"));
    ASSERT_EQ(changes.size(), 2);
    EXPECT_FALSE(changes[0][0].toBool());
    EXPECT_TRUE(changes[1][0].toBool());
    EXPECT_EQ(late->payloads("GL/UNIT4/Temperature"), (Payloads{"22.0"}));
}

}  // namespace
}  // namespace grainlink::test
