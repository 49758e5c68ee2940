// Soak run of the headless server, by hand and not in CI (README, "Soak run"): four simulated
// units at the fastest interval the server frames, raw data and data logging on (the server works
// on a small tmpfs, where both are written), a private broker with a subscriber to the record
// snapshots. Faults on a schedule that repeats every cycle: one unit unplugged for 30 s (its
// simulator stopped, then a new one started on the same link), the broker restarted (down 10 s),
// the disk full for 60 s. At the end, per unit: records sent, framed, logged and published, and
// the records lost beyond what the faults explain; the server's resident memory and open file
// descriptors at the start and the end. Exits 1 when a record was lost, a log line is broken or
// the server did not stop cleanly.
// SIGINT, SIGTERM or SIGHUP ends it early, without a report, with status 128 + the signal.
// Usage: soak [seconds (default 1800)] [cycle seconds (default 360)]

#include "bench/soak_processes.h"
#include "platform/termination_signals.h"
#include "tests/dde/test_broker.h"
#include "tools/sim/instrument_model.h"
#include "tools/sim/record_builder.h"
#include "tools/sim/transmission_plan.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace grainlink::soak {
namespace {

constexpr int kUnits = 4;
constexpr int kUnplugSeconds = 30;
constexpr int kBrokerDownSeconds = 10;
constexpr int kFullDiskSeconds = 60;
constexpr int kWarmUpSeconds = 30;
// Framing takes up to four seconds after a record starts: a record sent this long before its line
// went away may have been cut off with it.
constexpr qint64 kInFlightMs = 5000;
// A fault's window, widened by what its edges blur: a tick before, the reconnection after.
constexpr qint64 kBeforeMs = 1000;
constexpr qint64 kAfterMs = 2000;

using Windows = std::vector<std::pair<qint64, qint64>>;

bool Within(qint64 atMs, const Windows& windows)
{
    for (const auto& [from, to] : windows)
        if (atMs >= from - kBeforeMs && atMs <= to + kAfterMs) return true;
    return false;
}

// The data log lines of one unit as they appear, read every quarter second.
class LogTail {
public:
    explicit LogTail(QString path) : m_path(std::move(path)) {}

    void poll()
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(m_offset)) return;
        m_pending += file.readAll();
        m_offset = file.pos();
        for (qsizetype end; (end = m_pending.indexOf("\r\n")) >= 0; m_pending.remove(0, end + 2)) {
            const QByteArray line = m_pending.left(end);
            if (line.startsWith("Date;")) continue;  // the header
            if (line.count(';') != 15 || line.contains('\n')) broken << line;
            loggedAtMs.push_back(NowMs());
        }
    }

    std::vector<qint64> loggedAtMs;
    QByteArrayList broken;

private:
    QString m_path;
    qint64 m_offset = 0;
    QByteArray m_pending;
};

struct UnitFigures {
    int sent = 0, framed = 0, logged = 0, published = 0;
    int cutByUnplug = 0, lost = 0;           // sent, never framed
    int unloggedDiskFull = 0, unlogged = 0;  // framed, never logged
    int unpublished = 0;                     // framed while the broker was up, never published
    int halfRawLines = 0;                    // raw data lines that are no framed record
};

// Records each simulator sent that the server did not frame.
void CountFraming(const SimulatedUnit& sim, const std::vector<ServerUnderSoak::Framed>& framed,
                  UnitFigures& figures)
{
    std::map<QByteArray, int> received;
    for (const ServerUnderSoak::Framed& record : framed) ++received[record.record];
    for (const SimulatedUnit::Sent& sent : sim.sent()) {
        if (received[sent.record]-- > 0) continue;
        bool cut = false;
        for (qint64 unplugged : sim.unpluggedAtMs())
            cut = cut || (sent.atMs <= unplugged && sent.atMs > unplugged - kInFlightMs);
        ++(cut ? figures.cutByUnplug : figures.lost);
    }
}

int CountOutside(const std::vector<qint64>& times, const Windows& windows)
{
    return static_cast<int>(
        std::count_if(times.begin(), times.end(), [&](qint64 at) { return !Within(at, windows); }));
}

class Soak {
public:
    Soak(int seconds, int cycleSeconds) : m_seconds(seconds), m_cycleSeconds(cycleSeconds) {}

    int run()
    {
        if (!m_broker.start()) return Fail("the broker did not start");
        const int intervalMs = FastestIntervalMs();
        for (int unit = 1; unit <= kUnits; ++unit) {
            m_sims.push_back(std::make_unique<SimulatedUnit>(unit, Link(unit), intervalMs));
            m_sims.back()->plugIn();
            m_logs.emplace_back(m_dir.filePath(QStringLiteral("work/Data%1.log").arg(unit)));
        }
        writeConfig();
        m_subscriber =
            std::make_unique<test::MqttSubscriber>(m_broker.port(), "GRAINLINK/+/record");
        if (!m_server.start()) return Fail("the server did not start");
        std::printf("soak: %d s, %d units every %.1f s, a fault cycle every %d s%s\n", m_seconds,
                    kUnits, intervalMs / 1000.0, m_cycleSeconds,
                    m_disk.mounted() ? "" : " (no full disk: cannot mount a tmpfs)");
        std::fflush(stdout);
        schedule();

        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] {
            for (LogTail& log : m_logs) log.poll();
        });
        poll.start(250);
        QTimer::singleShot(kWarmUpSeconds * 1000, [this] { m_start = m_server.footprint(); });
        QTimer::singleShot(m_seconds * 1000, [this] { finish(); });
        return QCoreApplication::exec();
    }

private:
    static int Fail(const char* why)
    {
        std::fprintf(stderr, "soak: %s\n", why);
        return 2;
    }

    // What the simulator itself gives as the shortest interval that keeps records apart, and a
    // margin for a busy machine's late ticks.
    static int FastestIntervalMs()
    {
        const QByteArray record =
            sim::BuildRecord(sim::IdentityOfUnit(1), sim::InstrumentModel(1, 1).next());
        return sim::ShortestSeparateIntervalMs(record, sim::Fault::None) + 500;
    }

    QString Link(int unit) const { return m_dir.filePath(QStringLiteral("tty%1").arg(unit)); }

    void writeConfig() const
    {
        QByteArray ini =
            "[Options]\nUnits=4\nRawLog=1\nLog=1\nFile=Data.log\n[MQTT]\n"
            "Host=127.0.0.1\nPort=" +
            QByteArray::number(m_broker.port()) + "\n[Serial]\n";
        for (int unit = 1; unit <= kUnits; ++unit)
            ini += "Port" + QByteArray::number(unit) + '=' + Link(unit).toUtf8() + '\n';
        for (int unit = 1; unit <= kUnits; ++unit)
            ini += "[Unit" + QByteArray::number(unit) +
                   "]\nEnable=1\nPort=" + QByteArray::number(unit) + '\n';
        QDir().mkpath(m_dir.filePath("config"));
        QFile file(m_dir.filePath("config/GRAINLINK.INI"));
        if (file.open(QIODevice::WriteOnly)) file.write(ini);
    }

    // A fault from `start` for `seconds`, when it ends well before the run.
    void fault(int start, int seconds, std::function<void()> begin, std::function<void()> end)
    {
        if (start + seconds >= m_seconds - 10) return;
        QTimer::singleShot(start * 1000, std::move(begin));
        QTimer::singleShot((start + seconds) * 1000, std::move(end));
    }

    void schedule()
    {
        for (int start = 0; start < m_seconds; start += m_cycleSeconds) {
            SimulatedUnit& sim = *m_sims[static_cast<std::size_t>(start / m_cycleSeconds % kUnits)];
            fault(
                start + m_cycleSeconds / 6, kUnplugSeconds,
                [this, &sim] {
                    sim.unplug();
                    ++m_unplugs;
                },
                [&sim] { sim.plugIn(); });
            fault(
                start + m_cycleSeconds * 5 / 12, kBrokerDownSeconds,
                [this] {
                    m_brokerStoppedMs = NowMs();
                    m_broker.stop();
                },
                [this] {
                    m_broker.start();
                    m_brokerOutages.push_back({m_brokerStoppedMs, NowMs()});
                });
            if (m_disk.mounted())
                fault(
                    start + m_cycleSeconds * 2 / 3, kFullDiskSeconds, [this] { m_disk.fill(); },
                    [this] { m_disk.free(); });
        }
    }

    void finish()
    {
        // No more records; those on their way are framed before the server stops.
        for (auto& sim : m_sims) sim->pause();
        QTimer::singleShot(kInFlightMs + 1000, [this] {
            for (LogTail& log : m_logs) log.poll();
            const auto end = m_server.footprint();
            const bool clean = m_server.stop();
            QCoreApplication::exit(report(end, clean));
        });
    }

    // A broker outage lasts until the server is connected again.
    Windows BrokerOutages() const
    {
        Windows outages;
        for (auto [from, to] : m_brokerOutages) {
            for (qint64 connected : m_server.brokerConnectedAtMs)
                if (connected >= to) {
                    to = connected;
                    break;
                }
            outages.push_back({from, to});
        }
        return outages;
    }

    UnitFigures Figures(int unit) const
    {
        UnitFigures f;
        const SimulatedUnit& sim = *m_sims[static_cast<std::size_t>(unit - 1)];
        CountFraming(sim, m_server.framed[unit], f);
        std::set<QByteArray> records;
        for (const ServerUnderSoak::Framed& record : m_server.framed[unit])
            records.insert(record.record);
        QFile raw(m_dir.filePath(QStringLiteral("work/RawData%1.txt").arg(unit)));
        if (raw.open(QIODevice::ReadOnly))
            for (const QByteArray& line : raw.readAll().split('\n'))
                if (!line.trimmed().isEmpty() && !records.count(line.trimmed())) ++f.halfRawLines;
        std::vector<qint64> framed;
        for (const ServerUnderSoak::Framed& record : m_server.framed[unit])
            framed.push_back(record.atMs);
        const LogTail& log = m_logs[static_cast<std::size_t>(unit - 1)];
        f.sent = static_cast<int>(sim.sent().size());
        f.framed = static_cast<int>(framed.size());
        f.logged = static_cast<int>(log.loggedAtMs.size());
        const Windows& full = m_disk.fullWindows();
        f.unlogged = CountOutside(framed, full) - CountOutside(log.loggedAtMs, full);
        f.unloggedDiskFull = f.framed - f.logged - f.unlogged;

        std::set<QByteArray> published;
        std::vector<qint64> firstSeenAtMs;
        const QByteArray topic = "GRAINLINK/UNIT" + QByteArray::number(unit) + "/record";
        for (const test::MqttSubscriber::Message& message : m_subscriber->messages)
            if (message.topic == topic && published.insert(message.payload).second)
                firstSeenAtMs.push_back(message.receivedNs / 1000000);
        f.published = static_cast<int>(published.size());
        const Windows outages = BrokerOutages();
        f.unpublished = CountOutside(framed, outages) - CountOutside(firstSeenAtMs, outages);
        return f;
    }

    int report(std::pair<long, long> end, bool clean) const
    {
        std::printf("%4s %6s %6s %6s %9s | %5s %13s %9s %16s %11s\n", "unit", "sent", "framed",
                    "logged", "published", "lost", "cut by unplug", "unlogged", "(disk full)",
                    "unpublished");
        bool sound = clean;
        for (int unit = 1; unit <= kUnits; ++unit) {
            const UnitFigures f = Figures(unit);
            std::printf("%4d %6d %6d %6d %9d | %5d %13d %9d %16d %11d\n", unit, f.sent, f.framed,
                        f.logged, f.published, f.lost, f.cutByUnplug, f.unlogged,
                        f.unloggedDiskFull, f.unpublished);
            const LogTail& log = m_logs[static_cast<std::size_t>(unit - 1)];
            for (const QByteArray& line : log.broken)
                std::printf("broken log line: %s\n", line.constData());
            if (f.halfRawLines > 0)
                std::printf("unit %d: %d raw data lines are no record\n", unit, f.halfRawLines);
            sound = sound && f.lost == 0 && f.unlogged <= 0 && f.unpublished <= 0 &&
                    log.broken.isEmpty() && f.halfRawLines == 0;
        }
        std::printf(
            "server: resident memory %ld KiB -> %ld KiB, open file descriptors %ld -> %ld; "
            "%s\n",
            m_start.first, end.first, m_start.second, end.second,
            clean ? "stopped cleanly" : "did NOT stop cleanly");
        std::printf("faults: %d unplugs, %zu broker restarts, %zu full disks; the server said:\n",
                    m_unplugs, m_brokerOutages.size(), m_disk.fullWindows().size());
        std::map<QString, int> said;
        for (const QString& problem : m_server.problems)
            ++said[problem.section(QLatin1Char(':'), 0, 1)];
        for (const auto& [what, count] : said) std::printf("  %dx %s\n", count, qPrintable(what));
        return sound ? 0 : 1;
    }

    int m_seconds;
    int m_cycleSeconds;
    QTemporaryDir m_dir;
    SmallDisk m_disk{m_dir.filePath(QStringLiteral("work"))};
    test::TestBroker m_broker;
    std::unique_ptr<test::MqttSubscriber> m_subscriber;
    std::vector<std::unique_ptr<SimulatedUnit>> m_sims;
    std::vector<LogTail> m_logs;
    ServerUnderSoak m_server{m_dir.filePath(QStringLiteral("config")),
                             m_dir.filePath(QStringLiteral("work"))};
    std::pair<long, long> m_start{-1, -1};
    qint64 m_brokerStoppedMs = 0;
    Windows m_brokerOutages;
    int m_unplugs = 0;
};

}  // namespace
}  // namespace grainlink::soak

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int seconds = args.size() > 1 ? args[1].toInt() : 1800;
    const int cycle = args.size() > 2 ? args[2].toInt() : 360;
    if (seconds < 60 || cycle < 120) {
        std::fprintf(stderr, "usage: soak [seconds, at least 60] [cycle seconds, at least 120]\n");
        return 2;
    }
    // Ctrl+C ends the event loop rather than the process, so that the destructors stop the server
    // and the simulators and unmount the small disk.
    grainlink::TerminationSignals termination;
    QObject::connect(&termination, &grainlink::TerminationSignals::terminationRequested, &app,
                     [](int signalNumber) {
                         std::fprintf(stderr, "soak: stopped by signal %d, no report\n",
                                      signalNumber);
                         QCoreApplication::exit(128 + signalNumber);
                     });
    return grainlink::soak::Soak(seconds, cycle).run();
}
