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

    // From now on nobody reads. A bad message longer than the pipe holds is printed whole.
    line->send(QByteArray(8000, 'X') + "\r\n");
    const QByteArray record = ";A10001;A2FF\r\n";
    QTest::qWait(5000);  // seen, read, then framed after two silent ticks
    line->send(record);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FileHolds(dir.filePath("RawData1.txt"), record); },
                                10000))
        << "the record was framed while standard output was stalled";

    // The reader is back: what waited comes out, in order.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            readFifo(reader);
            return fifoLines.contains("lbl_rx_cnt(1) = 1");
        },
        5000))
        << fifoLines.join('\n').left(2000).toStdString();
    EXPECT_FALSE(fifoLines.filter("lbl_msg(1) = Bad data at ").isEmpty());
    expectCleanExitOn(SIGTERM);
    ::close(reader);
}

TEST_F(HeadlessServer, AReaderThatIsGoneDoesNotKillTheServer)
{
    writeConfig(dir.filePath("no-such-device"));
    const int reader = stdoutToFifo(4096);
    ASSERT_GE(reader, 0);
    startServer();
    ::close(reader);  // as in grainlink --headless | true
    QTest::qWait(2500);  // start-up and the first tick print
    ASSERT_EQ(server.state(), QProcess::Running) << server.exitStatus();
    expectCleanExitOn(SIGTERM);
}

}  // namespace
}  // namespace grainlink::test
