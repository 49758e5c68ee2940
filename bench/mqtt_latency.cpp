// Latency of the live values through MQTT: from the moment a decoded record's item texts are
// written into the unit's item table (end of framing) until a subscriber on loopback receives
// the record's last changed item, beside the bare round trip of one publication through the
// same source, broker and subscriber. Starts its own mosquitto on a free loopback port.
// Usage: mqtt_latency [records]   (default 300, at least 200)
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "display/item_table.h"
#include "platform/mqtt_dde_source.h"
#include "server/dde_publisher.h"
#include "tests/dde/test_broker.h"

namespace grainlink {
namespace {

constexpr int kWarmUp = 20;

// On the clock the subscriber stamps its messages with.
qint64 NowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

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

// One row of the table: median, 99th percentile (nearest rank) and maximum, in microseconds.
void PrintRow(const char* what, std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) { return ns[std::size_t(std::ceil(q * ns.size())) - 1] / 1e3; };
    std::printf("%-36s %10.1f %10.1f %10.1f\n", what, at(0.5), at(0.99), ns.back() / 1e3);
}

int Run(int records)
{
    test::TestBroker broker;
    if (!broker.start()) return 1;
    ItemTables items;
    MqttDdeSource source({.host = "127.0.0.1", .port = broker.port(), .topicRoot = "BENCH"});
    DdePublisher publisher(items, source);
    test::MqttSubscriber subscriber(broker.port(), "BENCH/UNIT1/#");

    // From the subscriber's clock: how long after `sentNs` the payload arrived on the topic.
    const auto latency = [&](const QString& item, const QString& text,
                             qint64 sentNs) -> std::optional<qint64> {
        const QByteArray topic = "BENCH/UNIT1/" + item.toUtf8();
        if (!subscriber.waitFor(topic, text.toUtf8())) return std::nullopt;
        const auto message = std::find_if(subscriber.messages.rbegin(), subscriber.messages.rend(),
                                          [&](const auto& m) { return m.topic == topic; });
        return message->receivedNs - sentNs;
    };
    // Retained, so it arrives however late the subscription is made; live from then on.
    source.setItem("UNIT1", "Probe", "ready");
    if (!subscriber.waitFor("BENCH/UNIT1/Probe", "ready")) {
        std::fprintf(stderr, "the subscriber does not receive the source's items\n");
        return 1;
    }

    std::vector<qint64> recordNs;
    std::vector<qint64> bareNs;
    int published = 0;
    for (int n = -kWarmUp; n < records; ++n) {
        const auto record = MakeRecord(n + kWarmUp);
        const auto changes = [&](const auto& entry) {
            return items[1].text(entry.first) != entry.second;
        };
        const auto last = *std::find_if(record.rbegin(), record.rend(), changes);
        const auto changed = std::count_if(record.begin(), record.end(), changes);
        QCoreApplication::processEvents();  // nothing left over from the round before
        subscriber.messages.clear();
        const qint64 framed = NowNs();
        for (const auto& [item, text] : record) items[1].setText(item, text);
        const auto recordLatency = latency(ItemName(last.first), last.second, framed);

        // One bare publication through the same source, broker and subscriber.
        QCoreApplication::processEvents();
        subscriber.messages.clear();
        const QString probe = QString::number(n);
        const qint64 sent = NowNs();
        source.setItem("UNIT1", "Probe", probe);
        const auto bareLatency = latency("Probe", probe, sent);

        if (!recordLatency || !bareLatency) {
            std::fprintf(stderr, "record %d did not arrive\n", n);
            return 1;
        }
        if (n < 0) continue;
        published += changed;
        recordNs.push_back(*recordLatency);
        bareNs.push_back(*bareLatency);
    }
    source.shutdown();

    std::printf("records: %d (after %d warm-up), %.1f changed items published per record\n",
                records, kWarmUp, double(published) / records);
    std::printf("%-36s %10s %10s %10s\n", "", "median us", "p99 us", "max us");
    PrintRow("record: framed -> last item received", recordNs);
    PrintRow("bare: one publish -> received", bareNs);
    return 0;
}

}  // namespace
}  // namespace grainlink

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return grainlink::Run(argc > 1 ? std::max(200, std::atoi(argv[1])) : 300);
}
