// Latency of the live values through MQTT: from the end of framing (the decoded record's item
// texts written into the unit's item table, then the record handed to the unit publisher) until
// a subscriber on loopback receives the record's last changed item and its record snapshot,
// beside the floor: a bare libmosquitto client publishing the same number of messages of the
// same sizes (same QoS, retained) through the same broker to the same subscriber.
// Starts its own mosquitto on a free loopback port.
// Usage: mqtt_latency [records]   (default 300, at least 200)
#include <mosquitto.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/latency_table.h"
#include "platform/mqtt_dde_source.h"
#include "server/dde_publisher.h"
#include "server/mqtt_unit_publisher.h"
#include "state/item_table.h"
#include "tests/dde/test_broker.h"

namespace grainlink {
namespace {

constexpr int kWarmUp = 20;
// Same length as the server's root, so that the bare client's topics have the same sizes.
constexpr const char* kServerRoot = "BENCH";
constexpr const char* kBareRoot = "FLOOR";

// The texts a decoder writes for record n, in screen order: the measurements change from record
// to record; identity, status and alarm flags stay, so they are not published again.
std::vector<std::pair<Item, QString>> MakeRecord(int n)
{
    std::vector<std::pair<Item, QString>> record;
    for (Item item : AllItems()) {
        const bool measured = item >= Item::SampleTime && item <= Item::FlowIndex;
        if (item != Item::txt_flow_factor)  // typed by the user, not decoded
            record.emplace_back(item, measured ? QString::number(n * 1.25 + int(item), 'f', 2)
                                               : QStringLiteral("0"));
    }
    return record;
}

// The floor: a plain client doing nothing but publishing, with the source's socket options.
class BareClient {
public:
    explicit BareClient(quint16 port) : m_client(mosquitto_new("bench-floor", true, nullptr))
    {
        mosquitto_int_option(m_client, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_int_option(m_client, MOSQ_OPT_SEND_MAXIMUM, 512);
        m_connected = mosquitto_connect(m_client, "127.0.0.1", port, 10) == MOSQ_ERR_SUCCESS;
    }
    ~BareClient()
    {
        mosquitto_disconnect(m_client);
        mosquitto_destroy(m_client);
    }
    bool connected() const { return m_connected; }
    void publish(const QByteArray& topic, const QByteArray& payload)
    {
        mosquitto_publish(m_client, nullptr, topic.constData(), int(payload.size()),
                          payload.constData(), 1, true);
    }
    // Reads the acknowledgements, so that nothing is left in flight for the next round.
    void service() { mosquitto_loop(m_client, 0, 1); }

private:
    mosquitto* m_client;
    bool m_connected = false;
};

int Run(int records)
{
    test::TestBroker broker;
    if (!broker.start()) return 1;
    ItemTables items;
    SharedState state;
    state.NumUnits = 1;
    state.UnitEnabled[1] = true;
    state.UnitName[1] = QStringLiteral("Line A");
    SystemClock clock;
    MqttDdeSource source({.host = "127.0.0.1", .port = broker.port(), .topicRoot = kServerRoot});
    DdePublisher publisher(items, source);
    MqttUnitPublisher unitPublisher(items, state, clock, source, kServerRoot, {});
    unitPublisher.onServedUnits({1});
    BareClient bare(broker.port());
    test::MqttSubscriber subscriber(broker.port(), "+/UNIT1/#");

    // From the subscriber's clock: how long after `sentNs` a message on the topic arrived.
    const auto latency = [&](const QByteArray& topic, qint64 sentNs) -> std::optional<qint64> {
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
            for (const auto& message : subscriber.messages)
                if (message.topic == topic) return message.receivedNs - sentNs;
            bare.service();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        return std::nullopt;
    };
    // Retained, so it arrives however late the subscription is made; live from then on.
    source.setItem("UNIT1", "Probe", "ready");
    if (!bare.connected() || !latency(QByteArray(kServerRoot) + "/UNIT1/Probe", 0)) {
        std::fprintf(stderr, "the subscriber does not receive the source's items\n");
        return 1;
    }

    std::vector<qint64> itemNs, snapshotNs, bareItemNs, bareSnapshotNs;
    int published = 0;
    qsizetype snapshotBytes = 0;
    for (int n = -kWarmUp; n < records; ++n) {
        const auto record = MakeRecord(n + kWarmUp);
        std::vector<std::pair<QByteArray, QByteArray>> changed;  // item name, text
        for (const auto& [item, text] : record)
            if (items[1].text(item) != text)
                changed.emplace_back(ItemName(item).toUtf8(), text.toUtf8());
        const auto topic = [](const char* root, const QByteArray& leaf) {
            return QByteArray(root) + "/UNIT1/" + leaf;
        };

        bare.service();
        QCoreApplication::processEvents();  // nothing left over from the round before
        subscriber.messages.clear();
        const qint64 framed = NowNs();
        for (const auto& [item, text] : record) items[1].setText(item, text);
        unitPublisher.onRecord(1, RecordState::Live);
        const auto item = latency(topic(kServerRoot, changed.back().first), framed);
        const auto snapshot = latency(topic(kServerRoot, "record"), framed);
        if (!item || !snapshot) return std::fprintf(stderr, "record %d did not arrive\n", n), 1;
        const QByteArray snapshotPayload =
            std::find_if(subscriber.messages.begin(), subscriber.messages.end(),
                         [&](const auto& m) { return m.topic == topic(kServerRoot, "record"); })
                ->payload;

        // The same messages from the bare client.
        bare.service();
        QCoreApplication::processEvents();
        subscriber.messages.clear();
        const qint64 sent = NowNs();
        for (const auto& [name, text] : changed) bare.publish(topic(kBareRoot, name), text);
        bare.publish(topic(kBareRoot, "record"), snapshotPayload);
        const auto bareItem = latency(topic(kBareRoot, changed.back().first), sent);
        const auto bareSnapshot = latency(topic(kBareRoot, "record"), sent);
        if (!bareItem || !bareSnapshot) return std::fprintf(stderr, "floor %d lost\n", n), 1;

        if (n < 0) continue;
        published += int(changed.size());
        snapshotBytes += snapshotPayload.size();
        itemNs.push_back(*item);
        snapshotNs.push_back(*snapshot);
        bareItemNs.push_back(*bareItem);
        bareSnapshotNs.push_back(*bareSnapshot);
    }
    source.shutdown();

    std::printf(
        "records: %d (after %d warm-up), %.1f changed items and one %lld-byte snapshot "
        "per record\n",
        records, kWarmUp, double(published) / records,
        static_cast<long long>(snapshotBytes / records));
    PrintLatencyHeader(kMicroseconds);
    const double itemMedian =
        PrintLatencyRow("server: framed -> last item received", itemNs, kMicroseconds);
    const double floorItems =
        PrintLatencyRow("floor: same messages -> last item received", bareItemNs, kMicroseconds);
    const double snapshot =
        PrintLatencyRow("server: framed -> record snapshot received", snapshotNs, kMicroseconds);
    const double floorSnapshot =
        PrintLatencyRow("floor: same messages -> snapshot received", bareSnapshotNs, kMicroseconds);
    std::printf("ratio to the floor (medians): per-item topics %.2f, record snapshot %.2f\n",
                itemMedian / floorItems, snapshot / floorSnapshot);
    return 0;
}

}  // namespace
}  // namespace grainlink

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return grainlink::Run(argc > 1 ? std::max(200, std::atoi(argv[1])) : 300);
}
