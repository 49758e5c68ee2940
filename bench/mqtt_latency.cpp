// Latency of the live values through MQTT: from the moment a decoded record's item texts are
// written into the unit's item table (end of framing) until a subscriber on loopback receives
// the record's last changed item, beside the bare round trip of one publication through the
// same source, broker and subscriber. Starts its own mosquitto on a free loopback port.
// Usage: mqtt_latency [records]   (default 300, at least 200)
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

#include "display/item_table.h"
#include "platform/mqtt_dde_source.h"
#include "server/dde_publisher.h"
#include "tests/dde/mqtt_subscriber.h"
#include "tests/dde/test_broker.h"

namespace grainlink {
namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::duration<double, std::micro>;

constexpr int kWarmUp = 20;
constexpr int kTimeoutMs = 5000;

// Waits in the event loop, so the source keeps working, until the subscriber has seen the
// awaited payload on the awaited topic; returns when it arrived.
class Arrival {
public:
    void expect(const QByteArray& topic, const QByteArray& payload)
    {
        const std::lock_guard lock(m_mutex);
        m_topic = topic;
        m_payload = payload;
        m_arrived = false;
    }

    // On the subscriber's thread.
    void offer(const test::MqttSubscriber::Message& message)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_arrived || message.topic != m_topic || message.payload != m_payload) return;
            m_at = message.received;
            m_arrived = true;
        }
        QMetaObject::invokeMethod(
            &m_waker, [] {}, Qt::QueuedConnection);
    }

    std::optional<Clock::time_point> wait()
    {
        const QDeadlineTimer deadline(kTimeoutMs);
        QTimer guard;  // wakes the loop now and then should a wake-up be missed
        guard.start(50);
        QEventLoop loop;
        while (!deadline.hasExpired()) {
            {
                const std::lock_guard lock(m_mutex);
                if (m_arrived) return m_at;
            }
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        return std::nullopt;
    }

private:
    std::mutex m_mutex;
    QByteArray m_topic;
    QByteArray m_payload;
    bool m_arrived = false;
    Clock::time_point m_at;
    QObject m_waker;
};

// The texts a decoder would write for record n: identity fixed, measurements varying.
std::vector<std::pair<Item, QString>> MakeRecord(int n, std::mt19937& random)
{
    std::uniform_real_distribution<double> noise(0.0, 1.0);
    const auto number = [&](double base, int decimals) {
        return QString::number(base + noise(random), 'f', decimals);
    };
    const auto hex = [&](int base) {
        return QString::number(base + static_cast<int>(noise(random) * 4096), 16).toUpper();
    };
    const double counts = 2000.0 + n;
    return {
        {Item::SystemID, "0001"},
        {Item::NodeID, "01"},
        {Item::SerialNo, "0102"},
        {Item::Firmware, "2.1"},
        {Item::SampleTime, QString::number(60 + n % 5)},
        {Item::Chan1Duty, hex(0xF0000)},
        {Item::Chan2Duty, hex(0xE0000)},
        {Item::Chan3Duty, hex(0xD0000)},
        {Item::Chan4Duty, hex(0xC0000)},
        {Item::Chan1Event, QString::number(5000 + n)},
        {Item::Chan4Event, QString::number(300 + n)},
        {Item::Counts4um, number(counts, 1)},
        {Item::Counts6um, number(counts / 4, 1)},
        {Item::Counts14um, number(counts / 80, 2)},
        {Item::Counts21um, number(counts / 400, 2)},
        {Item::ISOCode4um, QString::number(18 + n % 2)},
        {Item::ISOCode6um, "16"},
        {Item::ISOCode14um, QString::number(12 + n % 3)},
        {Item::ISOCode21um, "10"},
        {Item::LaserCurrent, number(25, 1)},
        {Item::DiodePower, number(1.2, 2)},
        {Item::Temperature, number(20, 1)},
        {Item::FlowIndex, number(n, 3)},
        {Item::status, "OK"},
        {Item::lbl_error, "0"},
        {Item::LaserLow, "0"},
        {Item::LaserHigh, "0"},
        {Item::RcvPwrLo, "0"},
        {Item::RcvPwrHi, "0"},
        {Item::TempLow, "0"},
        {Item::TempHigh, "0"},
        {Item::Concentration, "0"},
        {Item::Flow, "0"},
    };
}

struct Summary {
    double median;
    double p99;
    double max;
};

Summary Summarise(std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) {
        const auto rank =
            static_cast<std::size_t>(std::ceil(q * static_cast<double>(micros.size())));
        return micros[std::clamp<std::size_t>(rank, 1, micros.size()) - 1];
    };
    return {at(0.5), at(0.99), micros.back()};
}

int Run(int records)
{
    test::TestBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "mosquitto did not start\n");
        return 1;
    }
    ItemTables items;
    MqttDdeSource source(
        MqttSettings{QStringLiteral("127.0.0.1"), broker.port(), QStringLiteral("BENCH")});
    DdePublisher publisher(items, source);
    Arrival arrival;
    test::MqttSubscriber subscriber(broker.port(), "BENCH/UNIT1/#",
                                    [&](const auto& message) { arrival.offer(message); });

    // Ready when both ends are connected and the subscriber sees the source's publications.
    arrival.expect("BENCH/UNIT1/Probe", "ready");
    const QDeadlineTimer ready(kTimeoutMs * 2);
    while (!(source.isConnected() && subscriber.subscribed()) && !ready.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    source.setItem(QStringLiteral("UNIT1"), QStringLiteral("Probe"), QStringLiteral("ready"));
    if (!arrival.wait()) {
        std::fprintf(stderr, "the subscriber does not receive the source's items\n");
        return 1;
    }

    std::mt19937 random(2026);
    std::vector<double> recordLatency;
    std::vector<double> bareLatency;
    int published = 0;
    for (int n = 0; n < records + kWarmUp; ++n) {
        // End of framing: the record's texts go into the table in the decoder's order.
        const auto record = MakeRecord(n, random);
        const auto changes = [&](const auto& value) {
            return items[1].text(value.first) != value.second;
        };
        const auto last = std::find_if(record.rbegin(), record.rend(), changes);
        const int changed = static_cast<int>(std::count_if(record.begin(), record.end(), changes));
        arrival.expect("BENCH/UNIT1/" + ItemName(last->first).toUtf8(), last->second.toUtf8());
        QCoreApplication::processEvents();
        const Clock::time_point framed = Clock::now();
        for (const auto& [item, text] : record) items[1].setText(item, text);
        const auto recordArrived = arrival.wait();

        // One bare publication through the same source, broker and subscriber.
        const QString probe = QString::number(n);
        arrival.expect("BENCH/UNIT1/Probe", probe.toUtf8());
        QCoreApplication::processEvents();
        const Clock::time_point sent = Clock::now();
        source.setItem(QStringLiteral("UNIT1"), QStringLiteral("Probe"), probe);
        const auto probeArrived = arrival.wait();

        if (!recordArrived || !probeArrived) {
            std::fprintf(stderr, "record %d did not arrive within %d ms\n", n, kTimeoutMs);
            return 1;
        }
        if (n < kWarmUp) continue;
        published += changed;
        recordLatency.push_back(Micros(*recordArrived - framed).count());
        bareLatency.push_back(Micros(*probeArrived - sent).count());
    }
    source.shutdown();

    const Summary record = Summarise(recordLatency);
    const Summary bare = Summarise(bareLatency);
    std::printf("records: %d (after %d warm-up), %.1f changed items published per record\n",
                records, kWarmUp, static_cast<double>(published) / records);
    std::printf("%-34s %10s %10s %10s\n", "", "median us", "p99 us", "max us");
    std::printf("%-34s %10.1f %10.1f %10.1f\n", "record: framed -> last item received",
                record.median, record.p99, record.max);
    std::printf("%-34s %10.1f %10.1f %10.1f\n", "bare: one publish -> received", bare.median,
                bare.p99, bare.max);
    return 0;
}

}  // namespace
}  // namespace grainlink

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::max(200, std::atoi(argv[1])) : 300;
    return grainlink::Run(records);
}
