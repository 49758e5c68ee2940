#include "acquisition/acquisition_cycle.h"
#include "platform/qt_serial_port.h"
#include "tests/support/test_doubles.h"
#include "tools/sim/instrument_model.h"
#include "tools/sim/record_builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace grainlink::test {
namespace {

constexpr int kTickMs = 100;  // ticks run faster than real ones; the simulator sends in real time

// The real simulator on a pseudo-terminal, read by an acquisition cycle over real serial ports
// whose port 1 is the simulator's line. Runs in a scratch working directory.
class SimulatorLine : public ::testing::Test {
protected:
    SimulatorLine()
        : ports([this](int) {
              return std::make_unique<QtSerialPort>(
                  [this](int16_t number) { return number == 1 ? device : QString(); });
          }),
          cycle(state, ports, panel, clock, events, notice)
    {
        state.NumUnits = 1;
        state.UnitEnabled[1] = true;
        state.UnitPort[1] = 1;
        state.MessageTime = 600;
        state.RawLogEnabled = true;
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(scratch.path());
    }
    ~SimulatorLine() override
    {
        cycle.CloseAllPorts();
        if (simulator.state() != QProcess::NotRunning) {
            simulator.kill();
            simulator.waitForFinished();
        }
        QDir::setCurrent(m_previousDir);
    }

    // Starts the simulator and returns the device path it prints first.
    QString startSimulator(const QStringList& arguments)
    {
        simulator.start(QStringLiteral(GRAINLINK_SIM_PATH), arguments);
        if (!simulator.waitForStarted()) return {};
        if (!QTest::qWaitFor([this] { return simulator.canReadLine(); }, 5000)) return {};
        return QString::fromLocal8Bit(simulator.readLine()).trimmed();
    }

    // Ticks until `done` holds or `timeoutMs` has passed; false on timeout.
    bool tickUntil(const std::function<bool()>& done, int timeoutMs)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!done()) {
            if (elapsed.elapsed() > timeoutMs) return false;
            cycle.Tick();
            QTest::qWait(kTickMs);
        }
        return true;
    }

    QString text(CommsControl control) const { return panel.text(control, 1); }
    int decoded() const { return events.calls.count(QStringLiteral("DecodeRecord(1)")); }

    QTemporaryDir scratch;
    QString device;
    QProcess simulator;
    SharedState state;
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    ComPorts ports;
    AcquisitionCycle cycle;

private:
    QString m_previousDir;
};

// The records unit `unit` sends with `seed`, in order.
QList<QByteArray> ExpectedRecords(int unit, uint32_t seed, int count)
{
    sim::InstrumentModel model(unit, seed);
    QList<QByteArray> records;
    for (int i = 0; i < count; ++i)
        records << sim::BuildRecord(sim::IdentityOfUnit(unit), model.next());
    return records;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(SimulatorLine, RecordsArriveFramedOneByOneAcrossAReopenAndTheLineVanishesWithTheSimulator)
{
    device = startSimulator({"--interval", "1.5", "--count", "3", "--unit", "1", "--seed", "7"});
    ASSERT_TRUE(device.startsWith(QStringLiteral("/dev/"))) << device.toStdString();

    // The server closing and reopening the port between records loses nothing.
    ASSERT_TRUE(tickUntil([this] { return decoded() == 1; }, 5000)) << decoded();
    state.RequestPortReopen();
    ASSERT_TRUE(tickUntil([this] { return decoded() == 3; }, 6000)) << decoded();
    QByteArray expected;
    for (const QByteArray& record : ExpectedRecords(1, 7, 3)) expected += record + "\r\n";
    EXPECT_EQ(ReadAll(QStringLiteral("RawData1.txt")), expected);
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), QStringLiteral("3"));
    EXPECT_EQ(text(CommsControl::lbl_rx).toLatin1(), ExpectedRecords(1, 7, 3).last());
    EXPECT_EQ(notice.shown, 0);

    // With its count sent and read, the simulator exits and takes the pseudo-terminal along.
    ASSERT_TRUE(simulator.waitForFinished(8000));
    EXPECT_EQ(simulator.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(simulator.exitCode(), 0);
    EXPECT_TRUE(tickUntil([this] { return !state.PortOpenOk[1]; }, 2000))
        << text(CommsControl::lbl_msg).toStdString();
    EXPECT_TRUE(
        text(CommsControl::lbl_msg).endsWith(QStringLiteral(" port unavailable, retrying")));
    EXPECT_TRUE(cycle.IsAwaitingReopen(1));
    EXPECT_EQ(decoded(), 3);
}

TEST_F(SimulatorLine, RecordWithoutSemicolonIsReportedNotLoggedAndTerminationRemovesTheLink)
{
    const QString link = scratch.filePath(QStringLiteral("line1"));
    const QString pty = startSimulator(
        {"--interval", "0.5", "--count", "1", "--fault", "no-semicolon", "--link", link});
    ASSERT_TRUE(pty.startsWith(QStringLiteral("/dev/"))) << pty.toStdString();
    ASSERT_EQ(QFileInfo(link).symLinkTarget(), pty);
    device = link;

    ASSERT_TRUE(
        tickUntil([this] { return text(CommsControl::lbl_msg).startsWith("Bad data at "); }, 5000))
        << text(CommsControl::lbl_msg).toStdString();
    const QByteArray sent = ExpectedRecords(1, 1, 1).first().mid(1);
    EXPECT_EQ(text(CommsControl::lbl_msg), QStringLiteral("Bad data at ") + clock.text() +
                                               QStringLiteral(" .. ") + QString::fromLatin1(sent));
    EXPECT_FALSE(QFile::exists(QStringLiteral("RawData1.txt")));
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), QString());
    EXPECT_EQ(decoded(), 0);

    simulator.terminate();
    ASSERT_TRUE(simulator.waitForFinished(3000));
    EXPECT_EQ(simulator.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(simulator.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(link) || QFileInfo(link).isSymLink());
}

}  // namespace
}  // namespace grainlink::test
