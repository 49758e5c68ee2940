// The grainlink executable in headless mode, fed by the simulator: panel changes on standard
// output, raw data in the working directory, a clean exit on SIGTERM.
#include "tests/integration/headless_server.h"

namespace grainlink::test {
namespace {

TEST_F(HeadlessServer, ShowsFramedRecordsOnStandardOutputAndStopsCleanlyOnSigterm)
{
    const QString link = dir.filePath("unit1");
    startSimulator(link);
    writeConfig(link);
    startServer();

    ASSERT_TRUE(waitForLine("lbl_rx_cnt(1) = 1", 15000)) << seen.join('\n').toStdString();
    EXPECT_TRUE(seen.contains("frame_comms(1) = Unit 1 Rx Data (Enabled)  Line A"));
    const auto rx = std::find_if(seen.begin(), seen.end(),
                                 [](const QString& l) { return l.startsWith("lbl_rx(1) = ;"); });
    ASSERT_NE(rx, seen.end());
    EXPECT_TRUE(rx->endsWith("\\r\\n")) << rx->toStdString();

    expectCleanExitOn(SIGTERM);

    QFile raw(dir.filePath("RawData1.txt"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().endsWith("\r\n\r\n")) << "each record is followed by CR LF";

    // The data log: created with its header at start-up, one line per record.
    QFile log(dir.filePath("Data1.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Date;Time;4\xB5m counts/mL;"));
    EXPECT_EQ(lines[1].count(';'), 15);
    EXPECT_TRUE(lines[1].endsWith(" \r"));
    EXPECT_TRUE(QFile::exists(dir.filePath("Data4.log")));
}

// A FIFO where the raw data file should be and a data log linked to a device: the server never
// waits for them, says once on standard error that it cannot write them, and serves the unit.
TEST_F(HeadlessServer, SideFilesThatAreNoFilesAreReportedOnceAndHoldNothingUp)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("RawData1.txt")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/full", dir.filePath("Data1.log")));
    const QString link = dir.filePath("unit1");
    startSimulator(link);
    writeConfig(link);
    startServer();

    ASSERT_TRUE(waitForLine("lbl_rx_cnt(1) = 2", 20000)) << seen.join('\n').toStdString();
    expectCleanExitOn(SIGTERM);
    QStringList errors = QString::fromUtf8(server.readAllStandardError()).split('\n');
    // Each is also an event, which headless mode prints as well, once.
    EXPECT_EQ(errors.filter("Event: Unit 1 (Line A): File failing: ").size(), 2);
    errors.removeIf([](const QString& line) { return line.startsWith("Event: "); });
    const QStringList fileErrors = errors.filter("RawData1.txt") + errors.filter("Data1.log");
    EXPECT_EQ(fileErrors.join('\n').toStdString(),
              "Unit 1: cannot write RawData1.txt: not a regular file\n"
              "Unit 1: cannot write Data1.log: not a regular file");
}

// A closed terminal or a service manager's reload (SIGHUP) stops the server cleanly, like
// SIGTERM; SIGUSR1 and SIGUSR2, which mean nothing to it, leave it running: a deadly one, sent
// before the hang-up, would end the server before its clean exit.
TEST_F(HeadlessServer, HangUpStopsCleanlyAndUserSignalsAreIgnored)
{
    writeConfig(dir.filePath("no-such-device"));
    startServer();
    ASSERT_TRUE(waitForLine("frame_comms(1) = Unit 1 Rx Data (Enabled)  Line A", 10000));
    for (int ignored : {SIGUSR1, SIGUSR2}) ::kill(static_cast<pid_t>(server.processId()), ignored);
    expectCleanExitOn(SIGHUP);
}

}  // namespace
}  // namespace grainlink::test
