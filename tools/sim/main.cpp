// grainlink-sim: a simulated instrument on a pseudo-terminal or a serial device. See --help.

#include "platform/termination_signals.h"
#include "tools/sim/device_link.h"
#include "tools/sim/record_sender.h"
#include "tools/sim/serial_line.h"
#include "tools/sim/sim_options.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

using namespace grainlink::sim;

namespace {

// A receiver polling once a second reads a message within 2 s and frames it after 2 silent s.
constexpr int kQuietBeforeExitMs = 5000;
constexpr int kMaxWaitBeforeExitMs = 15000;
constexpr int kDrainPollMs = 100;

void PrintSlot(int slot, const QByteArray& record, Fault fault)
{
    QByteArray line = QByteArray::number(slot) + ' ';
    if (fault != Fault::None) line += FaultName(fault).toLatin1() + ' ';
    line += record.trimmed();
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

// After the last record: the pseudo-terminal and any characters still in it vanish with the
// program, and a receiver that finds its line gone drops the message it was collecting; so
// wait until the line has been read and the receiver has had time to finish the message.
void QuitOnceLineIsRead(const SerialLine& line, QTimer& poll)
{
    auto quiet = std::make_shared<QElapsedTimer>();
    auto total = std::make_shared<QElapsedTimer>();
    quiet->start();
    total->start();
    QObject::connect(&poll, &QTimer::timeout, [&line, quiet, total] {
        const int unread = line.unreadCount();
        if (unread > 0) quiet->start();
        if (quiet->elapsed() >= kQuietBeforeExitMs) {
            QCoreApplication::quit();
        } else if (total->elapsed() >= kMaxWaitBeforeExitMs) {
            std::fprintf(stderr, "grainlink-sim: %d characters were never read\n", unread);
            QCoreApplication::quit();
        }
    });
    poll.start(kDrainPollMs);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("grainlink-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
    std::signal(SIGPIPE, SIG_IGN);  // a reader of standard output going away must not kill us

    const std::optional<SimOptions> options = ParseCommandLine(QCoreApplication::arguments());
    if (!options) return 2;

    std::unique_ptr<SerialLine> line;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<grainlink::TerminationSignals> termination;
    try {
        termination = std::make_unique<grainlink::TerminationSignals>();
        line = options->device.isEmpty() ? SerialLine::OpenPseudoTerminal()
                                         : SerialLine::OpenDevice(options->device);
        if (!options->link.isEmpty())
            link = std::make_unique<DeviceLink>(options->link, line->path());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "grainlink-sim: %s\n", error.what());
        return 1;
    }
    QObject::connect(termination.get(), &grainlink::TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::quit(); });
    std::printf("%s\n", qPrintable(line->path()));
    std::fflush(stdout);

    RecordSender sender(options->sender, [&line](const QByteArray& bytes) { line->send(bytes); });
    QTimer drainPoll;
    QObject::connect(&sender, &RecordSender::slotStarted, &PrintSlot);
    QObject::connect(&sender, &RecordSender::finished,
                     [&line, &drainPoll] { QuitOnceLineIsRead(*line, drainPoll); });
    sender.start();
    return app.exec();
}
