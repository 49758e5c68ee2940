// The web server under load, as a timed driver:
//  1. the headless server executable with four units on pseudo-terminals, MQTT to a private
//     mosquitto and 50 clients holding /api/v1/live open: the server's CPU while the clients
//     are idle, then, per record, how long after the record's MQTT snapshot reached a
//     subscriber each client received it (both stamped on this machine's clock);
//  2. in this process, a history of 1000 rows served over loopback: the time from sending
//     GET /api/v1/units/1/history (JSON and CSV) to the last byte of the reply.
// Usage: web_bench [rounds]   (default 30 rounds of one record per unit)
#include "bench/latency_table.h"
#include "bench/process_figures.h"
#include "server/data_log.h"
#include "tests/dde/test_broker.h"
#include "tools/sim/serial_line.h"
#include "web/http/http_listener.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>
#include <unistd.h>

namespace grainlink {
namespace {

constexpr int kClients = 50;
constexpr int kUnits = 4;

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    for (QDeadlineTimer deadline(timeoutMs); !done();) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// A client holding the live stream: when each unit's records arrived.
class LiveClient {
public:
    explicit LiveClient(quint16 port)
    {
        QObject::connect(&m_socket, &QIODevice::readyRead, &m_socket, [this] { read(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.write("GET /api/v1/live HTTP/1.1\r\nHost: bench\r\n\r\n");
    }
    bool open() const { return m_open; }
    std::map<int, std::vector<qint64>> receivedNs;  // unit -> arrival of each record

private:
    void read()
    {
        const qint64 now = NowNs();
        m_buffer += m_socket.readAll();
        m_open = m_open || m_buffer.contains("retry: ");
        for (qsizetype end; (end = m_buffer.indexOf("\n\n")) >= 0; m_buffer.remove(0, end + 2)) {
            const QByteArray message = m_buffer.first(end);
            const qsizetype data = message.indexOf("event: record\ndata: ");
            if (data < 0) continue;
            const QJsonObject record = QJsonDocument::fromJson(message.sliced(data + 20)).object();
            receivedNs[record["unit"].toInt()].push_back(now);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    bool m_open = false;
};

QByteArray Record(int round, int unit)
{
    // ISO codes and counts that change with the round, no error bits.
    const auto hex = [](int value, int width) {
        return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
    };
    return ";A1" + hex(unit, 4) + ";A201;A30002;A421;B100F4240;B7003C;C5" +
           hex(150 + round % 20, 3) + ";C608C;C7064;C8032;C1" + hex(500 + round, 4) +
           ";C200C8;C30032;C4000A;D2064;D400\r\n";
}

int LiveRounds(int rounds)
{
    test::TestBroker broker;
    if (!broker.start()) return std::fprintf(stderr, "no broker\n"), 1;
    test::MqttSubscriber subscriber(broker.port(), QStringLiteral("GRAINLINK/+/record"));
    std::vector<std::unique_ptr<sim::SerialLine>> lines;
    QTemporaryDir dir;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 httpPort = probe.serverPort();
    probe.close();
    QByteArray ini = "[Options]\nUnits=4\nBuffer_size=100\n[Settings]\nMessage time=30\n[MQTT]\n"
                     "Host=127.0.0.1\nPort=" + QByteArray::number(broker.port()) +
                     "\n[HTTP]\nListen=127.0.0.1:" + QByteArray::number(httpPort) + "\n[Serial]\n";
    for (int unit = 1; unit <= kUnits; ++unit) {
        lines.push_back(sim::SerialLine::OpenPseudoTerminal());
        ini += "Port" + QByteArray::number(unit) + "=" + lines.back()->path().toUtf8() + "\n";
    }
    for (int unit = 1; unit <= kUnits; ++unit)
        ini += "[Unit" + QByteArray::number(unit) + "]\nEnable=1\nPort=" +
               QByteArray::number(unit) + "\n";
    QFile config(dir.filePath("GRAINLINK.INI"));
    if (!config.open(QIODevice::WriteOnly) || config.write(ini) != ini.size()) return 1;
    config.close();

    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GRAINLINK_CONFIG_DIR", dir.path());
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(dir.path());
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QStringLiteral(GRAINLINK_SERVER_PATH), {"--headless"});
    QByteArray output;
    if (!WaitFor([&] { return (output += server.readAll()).contains("HTTP: the web page"); }, 10000))
        return std::fprintf(stderr, "the server did not start:\n%s\n", output.constData()), 1;

    std::vector<std::unique_ptr<LiveClient>> clients;
    for (int i = 0; i < kClients; ++i) clients.push_back(std::make_unique<LiveClient>(httpPort));
    if (!WaitFor([&] { return std::all_of(clients.begin(), clients.end(), [](auto& c) { return c->open(); }); }, 10000))
        return std::fprintf(stderr, "the clients did not connect\n"), 1;

    // Idle: the clients connected, the units silent, the tick running.
    const qint64 ticksPerSecond = sysconf(_SC_CLK_TCK);
    QElapsedTimer idle;
    const qint64 idleStart = CpuTicks(server.processId());
    idle.start();
    WaitFor([] { return false; }, 20000);
    const double idleCpu = 100.0 * (CpuTicks(server.processId()) - idleStart) / ticksPerSecond /
                           (idle.elapsed() / 1000.0);

    std::vector<qint64> latencyNs;
    QElapsedTimer busy;
    const qint64 busyStart = CpuTicks(server.processId());
    busy.start();
    for (int round = 0; round < rounds; ++round) {
        subscriber.messages.clear();
        for (auto& client : clients) client->receivedNs.clear();
        for (int unit = 1; unit <= kUnits; ++unit) lines[unit - 1]->send(Record(round, unit));
        const bool arrived = WaitFor([&] {
            return subscriber.messages.size() >= kUnits &&
                   std::all_of(clients.begin(), clients.end(), [](auto& client) {
                       for (int unit = 1; unit <= kUnits; ++unit)
                           if (client->receivedNs[unit].empty()) return false;
                       return true;
                   });
        }, 10000);
        if (!arrived) return std::fprintf(stderr, "round %d did not arrive\n", round), 1;
        for (const auto& message : subscriber.messages) {
            const int unit = message.topic.split('/')[1].mid(4).toInt();
            for (auto& client : clients)
                latencyNs.push_back(client->receivedNs[unit].front() - message.receivedNs);
        }
    }
    const double busyCpu = 100.0 * (CpuTicks(server.processId()) - busyStart) / ticksPerSecond /
                           (busy.elapsed() / 1000.0);
    server.kill();
    server.waitForFinished();

    std::printf("%d clients on /api/v1/live, %d units, %d rounds of one record per unit\n",
                kClients, kUnits, rounds);
    std::printf("server CPU: %.2f %% idle (20 s, clients connected, units silent), "
                "%.2f %% while the records flowed\n", idleCpu, busyCpu);
    PrintLatencyHeader(kMilliseconds);
    PrintLatencyRow("MQTT snapshot received -> live record received", latencyNs, kMilliseconds);
    return 0;
}

int HistoryRequests(int requests)
{
    SharedState state;
    state.NumUnits = 1;
    state.UnitEnabled[1] = true;
    state.BufferSize = HistoryStore::kMaxRows;
    ItemTables items;
    SystemClock clock;
    PlantModel plant(state, items, clock);
    HistoryStore history;
    QDateTime time = QDateTime::currentDateTime();
    for (int row = 0; row < HistoryStore::kMaxRows; ++row) {
        items[1].setText(Item::Counts4um, QString::number(500 + row));
        items[1].setText(Item::ISOCode4um, QStringLiteral("16.5"));
        items[1].setText(Item::Temperature, QStringLiteral("23"));
        history.store(1, state.BufferSize, RecordFromItems(items[1], time = time.addSecs(30)));
    }
    LiveFeed feed(plant, items, history, state);
    WebApi api(plant, items, history, state, feed);
    HttpListener listener(api, feed);
    if (listener.listen({QStringLiteral("127.0.0.1"), 0}, {}, {})) return 1;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, listener.port());
    if (!socket.waitForConnected(5000)) return 1;

    PrintLatencyHeader(kMilliseconds);
    for (const QByteArray target : {"/api/v1/units/1/history", "/api/v1/units/1/history?format=csv"}) {
        std::vector<qint64> ns;
        qsizetype bytes = 0;
        for (int i = 0; i < requests; ++i) {
            QByteArray reply;
            QElapsedTimer elapsed;
            elapsed.start();
            socket.write("GET " + target + " HTTP/1.1\r\nHost: bench\r\n\r\n");
            const bool whole = WaitFor([&] {
                reply += socket.readAll();
                const qsizetype end = reply.indexOf("\r\n\r\n");
                if (end < 0) return false;
                const qsizetype length = reply.indexOf("Content-Length: ");
                return reply.size() >= end + 4 + reply.mid(length + 16, 12).split('\r')[0].toLongLong();
            }, 5000);
            if (!whole) return std::fprintf(stderr, "no reply to %s\n", target.constData()), 1;
            ns.push_back(elapsed.nsecsElapsed());
            bytes = reply.size();
        }
        const QByteArray what = "GET " + target + " (1000 rows, " + QByteArray::number(bytes / 1024) + " KiB)";
        PrintLatencyRow(what.constData(), ns, kMilliseconds);
    }
    return 0;
}

}  // namespace
}  // namespace grainlink

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    if (const int failed = grainlink::HistoryRequests(200)) return failed;
    return grainlink::LiveRounds(rounds);
}
