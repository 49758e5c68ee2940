#include "server/server_unit_events.h"
#include "tests/integration/real_port_cycle.h"
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

// The real simulator on a pseudo-terminal, read by an acquisition cycle over real serial ports
// whose port 1 is `device`. Runs in a scratch working directory, where the raw data file goes;
// a simulator still running at the end is killed with its QProcess.
class SimulatorLine : public RealPortCycle {
protected:
    SimulatorLine()
    {
        state.RawLogEnabled = true;
        QDir::setCurrent(scratch.path());
    }
    ~SimulatorLine() override { QDir::setCurrent(m_previousDir); }

    // Starts the simulator and returns the device path it prints first.
    QString startSimulator(const QStringList& arguments)
    {
        simulator.start(QStringLiteral(GRAINLINK_SIM_PATH), arguments);
        const bool printed = QTest::qWaitFor([this] { return simulator.canReadLine(); }, 5000);
        return printed ? QString::fromLocal8Bit(simulator.readLine()).trimmed() : QString();
    }

    // Ticks until `done` holds; false when `timeoutMs` passes first.
    bool tickUntil(const std::function<bool()>& done, int timeoutMs)
    {
        // Ticks run faster than real ones; the simulator sends in real time.
        for (QDeadlineTimer deadline(timeoutMs); !done(); QTest::qWait(100)) {
            if (deadline.hasExpired()) return false;
            cycle.Tick();
        }
        return true;
    }

    QString message() const { return panel.text(CommsControl::lbl_msg, 1); }
    int decoded() const { return events.calls.count(QStringLiteral("DecodeRecord(1)")); }

    QString m_previousDir = QDir::currentPath();
    QTemporaryDir scratch;
    QProcess simulator;
};

// Record `n` (1, 2, ...) of unit 1 with `seed`.
QByteArray SentRecord(uint32_t seed, int n)
{
    sim::InstrumentModel model(1, seed);
    while (--n > 0) model.next();
    return sim::BuildRecord(sim::IdentityOfUnit(1), model.next());
}

TEST_F(SimulatorLine, RecordsArriveFramedOneByOneAndTheLineVanishesWithTheSimulator)
{
    device = startSimulator({"--interval", "1.5", "--count", "3", "--unit", "1", "--seed", "7"});
    ASSERT_TRUE(tickUntil([this] { return decoded() == 3; }, 10000)) << device.toStdString();
    QFile raw(QStringLiteral("RawData1.txt"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), SentRecord(7, 1) + "\r\n" + SentRecord(7, 2) + "\r\n" +
                                 SentRecord(7, 3) + "\r\n");  // the record's CR LF, then the file's
    EXPECT_EQ(panel.text(CommsControl::lbl_rx_cnt, 1), QStringLiteral("3"));
    EXPECT_EQ(notice.shown, 0);

    // With its count sent and read, the simulator exits and takes the pseudo-terminal along.
    ASSERT_TRUE(simulator.waitForFinished(8000));
    EXPECT_TRUE(tickUntil([this] { return !state.PortOpenOk[1]; }, 2000)) << decoded();
    EXPECT_TRUE(message().endsWith(QStringLiteral(" port unavailable, retrying")));
    EXPECT_EQ(decoded(), 3);
}

TEST_F(SimulatorLine, RecordWithoutSemicolonIsReportedNotLoggedAndTerminationRemovesTheLink)
{
    device = scratch.filePath(QStringLiteral("line1"));
    const QString pty = startSimulator(
        {"--interval", "0.5", "--count", "1", "--fault", "no-semicolon", "--link", device});
    ASSERT_TRUE(pty.startsWith(QStringLiteral("/dev/"))) << pty.toStdString();
    ASSERT_EQ(QFileInfo(device).symLinkTarget(), pty);

    const QString bad = QStringLiteral("Bad data at ") + clock.text() + QStringLiteral(" .. ") +
                        QString::fromLatin1(SentRecord(1, 1).mid(1));
    ASSERT_TRUE(tickUntil([&] { return message() == bad; }, 5000)) << message().toStdString();
    EXPECT_FALSE(QFile::exists(QStringLiteral("RawData1.txt")));
    EXPECT_EQ(decoded(), 0);

    simulator.terminate();
    ASSERT_TRUE(simulator.waitForFinished(3000));
    EXPECT_EQ(simulator.exitCode(), 0);  // a signal's number after a crash
    EXPECT_FALSE(QFileInfo::exists(device) || QFileInfo(device).isSymLink());
}

// The same line handed on to the server's decoder and data log, as the server does.
class SimulatorToDataLog : public SimulatorLine {
protected:
    SimulatorToDataLog()
    {
        state.BufferSize = 10;
        state.LogEnabled = true;
        state.LogFile = QStringLiteral("Data.log");
        items[1].setText(Item::txt_flow_factor, QStringLiteral("0.00075"));
        events.forwardTo = &server;
    }

    ItemTables items;
    HistoryStore history;
    DataLog log{state, items, history, clock, [](int, const SideFileReport&) {}};
    ServerUnitEvents server{state, items, log};
};

float CountOf(const sim::SizeFields& size)
{
    switch (sim::ScaleOfIso(size.isoTenths)) {
    case sim::CountScale::Thousandths: return size.counts / 1000.0f;
    case sim::CountScale::Units: return size.counts;
    case sim::CountScale::Thousands: return size.counts * 1000.0f;
    }
    return 0;
}

TEST_F(SimulatorToDataLog, EachRecordBecomesTheNewestHistoryRowAndOneLogLine)
{
    device = startSimulator({"--interval", "1.5", "--count", "2", "--unit", "1", "--seed", "11"});
    ASSERT_TRUE(tickUntil([this] { return decoded() == 2; }, 10000)) << device.toStdString();
    QFile file(QStringLiteral("Data1.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);  // the header (the file was missing) and two lines, CR LF each
    EXPECT_TRUE(lines[0].startsWith("Date;Time;"));
    EXPECT_EQ(history.row(1, 8).TimeText, "");

    sim::InstrumentModel model(1, 11);
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const sim::Reading sent = model.next();
        const HistoryRec& row = history.row(1, 8 + n);
        const QList<QByteArray> fields = lines[n].split(';');
        ASSERT_EQ(fields.size(), 16);
        EXPECT_EQ(std::tuple(fields[0], fields[1]), std::tuple("6 Dec 2026", "14:03:05"));
        EXPECT_EQ(std::tuple(row.DateText, row.TimeText), std::tuple("6 Dec 2026", "14:03:05"));
        for (int size = 1; size <= 4; ++size) {
            const sim::SizeFields encoded = sim::EncodeSize(sent.countsPerMl[size - 1]);
            EXPECT_FLOAT_EQ(row.Counts[size], CountOf(encoded)) << size;
            EXPECT_FLOAT_EQ(fields[1 + size].toFloat(), CountOf(encoded)) << size;
            EXPECT_FLOAT_EQ(row.IsoCodes[size], encoded.isoTenths / 10.0f) << size;
            EXPECT_FLOAT_EQ(fields[5 + size].toFloat(), encoded.isoTenths / 10.0f) << size;
        }
        EXPECT_EQ(row.ErrorState, sent.errorByte != 0);
        EXPECT_EQ(fields[10], sent.errorByte != 0 ? "Error" : "OK");
        EXPECT_EQ(row.ErrorCode, sent.errorByte);
        EXPECT_EQ(fields[11], QByteArray::number(sent.errorByte));
        EXPECT_EQ(row.LaserCurrent, sent.laserCurrentMa);
        EXPECT_EQ(fields[12], QByteArray::number(sent.laserCurrentMa));
        const float diode = static_cast<float>(std::round(sent.diodePowerMw * 100) / 100);
        EXPECT_FLOAT_EQ(row.DiodePower, diode);
        EXPECT_FLOAT_EQ(fields[13].toFloat(), diode);
        EXPECT_EQ(row.Temperature, sent.temperatureC);
        EXPECT_EQ(fields[14], QByteArray::number(sent.temperatureC));
        EXPECT_GT(row.FlowIndex, 0);
        EXPECT_EQ(fields[15], " " + QByteArray::number(row.FlowIndex) + " \r");
    }
}

TEST(Simulator, WarnsOfAnIntervalTooShortForTheServerToFrameEachRecord)
{
    const std::pair<QStringList, bool> cases[] = {
        {{"--interval", "3.9"}, true},
        {{"--interval", "4.1"}, false},
        {{"--interval", "4.1", "--fault", "split"}, true}};
    for (const auto& [arguments, warns] : cases) {
        QProcess simulator;
        simulator.start(QStringLiteral(GRAINLINK_SIM_PATH), arguments);
        ASSERT_TRUE(QTest::qWaitFor([&] { return simulator.canReadLine(); }, 5000));
        simulator.kill();
        simulator.waitForFinished();
        EXPECT_EQ(simulator.readAllStandardError().contains("is too short"), warns)
            << arguments.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace grainlink::test
