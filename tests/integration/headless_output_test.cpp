// Standard output of the headless executable when its reader stalls or is gone: the tick, the
// raw data file and the signals go on regardless.
#include "tests/integration/headless_server.h"
#include "tools/sim/serial_line.h"

namespace grainlink::test {
namespace {

bool FileHolds(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(bytes);
}

TEST_F(HeadlessServer, AStandardOutputNobodyReadsHoldsUpNothing)
{
    const auto line = sim::SerialLine::OpenPseudoTerminal();
    const QByteArray big = ';' + QByteArray(8000, 'x') + "\r\n";
    const QByteArray next = ";A10001;A2FF\r\n";
    const QString raw = dir.filePath("RawData1.txt");
    writeConfig(line->path());
    const int reader = stdoutToFifo(4096);
    ASSERT_GE(reader, 0);
    startServer();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            readFifo(reader);
            return !fifoLines.filter(" waiting for data").isEmpty();
        },
        10000));

    // From now on nobody reads. A record longer than the pipe holds fills it as it is printed;
    // the next record must still be framed.
    line->send(big);
    ASSERT_TRUE(QTest::qWaitFor([&] { return FileHolds(raw, big); }, 10000));
    line->send(next);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FileHolds(raw, next); }, 10000))
        << "the record was framed while standard output was stalled";

    // The reader is back: what waited comes out, in order.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            readFifo(reader);
            return fifoLines.contains("lbl_rx_cnt(1) = 2");
        },
        5000))
        << fifoLines.join('\n').left(2000).toStdString();
    EXPECT_TRUE(fifoLines.contains("lbl_rx(1) = " + QString::fromLatin1(big.chopped(2)) + "\\r\\n"))
        << "a line the reader took in part is finished, not cut";
    expectCleanExitOn(SIGTERM);
    ::close(reader);
}

TEST_F(HeadlessServer, AReaderThatIsGoneDoesNotKillTheServer)
{
    writeConfig(dir.filePath("no-such-device"));
    ASSERT_TRUE(stdoutToGoneReader());
    startServer();
    // Start-up prints the panel before it tries the port and says on standard error that the
    // device is missing.
    QByteArray errors;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            errors += server.readAllStandardError();
            return errors.contains("no-such-device") || server.state() == QProcess::NotRunning;
        },
        10000));
    ASSERT_EQ(server.state(), QProcess::Running) << server.exitStatus();
    expectCleanExitOn(SIGTERM);
}

}  // namespace
}  // namespace grainlink::test
