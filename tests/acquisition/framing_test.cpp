#include "tests/acquisition/cycle_fixture.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace grainlink::test {
namespace {

const QByteArray kRecord = ";A10001A201A30002A421;C50A5C101F4\r\n";

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Framing : public CycleTest {
protected:
    Framing()
    {
        state.RawLogEnabled = true;
        ticks(1);  // opens the port
        events.calls.clear();
    }
};

TEST_F(Framing, BurstIsReadOnTheNextTickAndFramedAfterTwoSilentTicks)
{
    fakes[1]->receive(kRecord);
    ticks(1);  // seen, not read
    EXPECT_TRUE(state.Receiving[1]);
    EXPECT_EQ(state.UnitData[1].WatchdogCount, 5);
    EXPECT_EQ(fakes[1]->inBufferCount(), kRecord.size());

    ticks(1);  // read
    EXPECT_EQ(state.UnitData[1].RxBuffer, kRecord);
    ticks(1);  // first silent tick
    EXPECT_TRUE(events.calls.isEmpty());
    ticks(1);  // second silent tick: framed

    EXPECT_FALSE(state.Receiving[1]);
    EXPECT_EQ(events.calls, QStringList{"DecodeRecord(1)"});
    EXPECT_EQ(text(CommsControl::lbl_rx), QString::fromLatin1(kRecord));
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "1");
    EXPECT_EQ(text(CommsControl::lbl_last_msg_time), clock.text());
    EXPECT_EQ(text(CommsControl::lbl_msg), "");
    EXPECT_EQ(ReadFile("RawData1.txt"), kRecord + "\r\n");

    ticks(5);
    EXPECT_EQ(events.calls.size(), 1) << "a message is decoded once";
}

TEST_F(Framing, MessageSplitOverTicksIsCollectedUntilTwoTicksAreSilent)
{
    fakes[1]->receive(kRecord.left(10));
    ticks(2);  // seen, read
    fakes[1]->receive(kRecord.mid(10));
    ticks(2);  // read, one silent tick
    EXPECT_TRUE(events.calls.isEmpty());
    ticks(1);
    EXPECT_EQ(events.calls, QStringList{"DecodeRecord(1)"});
    EXPECT_EQ(state.UnitData[1].RxBuffer, kRecord);
}

TEST_F(Framing, RejectedMessagesAreReportedNotCountedNotLoggedAndKeptInTheBuffer)
{
    const QByteArray noSemicolon = "A10001\r\n";
    fakes[1]->receive(noSemicolon);
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_msg),
              "Bad data at " + clock.text() + " .. " + QString::fromLatin1(noSemicolon));
    EXPECT_EQ(state.UnitData[1].RxBuffer, noSemicolon);

    // A line end in the very last position does not count.
    fakes[1]->receive(";A10001\r");
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " no end of message");

    EXPECT_TRUE(events.calls.isEmpty());
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "");
    EXPECT_FALSE(QFile::exists("RawData1.txt"));
}

TEST_F(Framing, ShortestFramedMessageAndMessagesTheDecoderMayRejectAreStillLogged)
{
    fakes[1]->receive(";\r\n");
    ticks(4);
    fakes[1]->receive(";A1G001\r\n");
    ticks(4);
    EXPECT_EQ(events.calls, (QStringList{"DecodeRecord(1)", "DecodeRecord(1)"}));
    EXPECT_EQ(ReadFile("RawData1.txt"), ";\r\n\r\n;A1G001\r\n\r\n");
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "2");
}

TEST_F(Framing, RawDataFileIsOnlyWrittenWhenEnabled)
{
    state.RawLogEnabled = false;
    fakes[1]->receive(kRecord);
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "1");
    EXPECT_FALSE(QFile::exists("RawData1.txt"));
}

TEST_F(Framing, RawDataFileThatCannotBeWrittenIsReportedOnceAndTheRecordGoesOn)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    state.MessageTime = 7;
    ASSERT_TRUE(QDir().mkdir("RawData1.txt"));  // a directory where the file should be
    fakes[1]->receive(kRecord);
    ticks(4);
    EXPECT_TRUE(text(CommsControl::lbl_msg).startsWith(clock.text() +
                                                       " cannot write RawData1.txt: "))
        << qPrintable(text(CommsControl::lbl_msg));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("cannot write RawData1.txt: ")) << qPrintable(warnings[0]);

    // Said once: the next record's framing clears the line and nothing repeats it.
    fakes[1]->receive(kRecord);
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_msg), "");
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_EQ(events.calls, (QStringList{"DecodeRecord(1)", "DecodeRecord(1)"}));
    EXPECT_EQ(state.UnitData[1].WatchdogReload, 7);
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "2");
    EXPECT_EQ(notice.shown, 0);
    EXPECT_FALSE(state.PortError);

    ASSERT_TRUE(QDir().rmdir("RawData1.txt"));
    fakes[1]->receive(kRecord);
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " RawData1.txt is written again");
    EXPECT_EQ(ReadFile("RawData1.txt"), kRecord + "\r\n");
    EXPECT_EQ(warnings.size(), 2);
    qInstallMessageHandler(previous);
}

// A port pointed at a fast device by mistake: far more arrives every tick than any record holds.
TEST_F(Framing, AUnitThatFloodsItsLineIsCutOffAndTheOthersStayOnTime)
{
    state.NumUnits = 2;
    state.UnitEnabled[2] = true;
    state.UnitPort[2] = 2;
    state.RequestPortReopen();
    ticks(1);
    events.calls.clear();
    fakes[1]->receive(kRecord);
    qsizetype held = 0;
    for (int tick = 0; tick < 4; ++tick) {
        fakes[2]->receive(QByteArray(100000, 'X'));
        ticks(1);
        held = std::max(held, state.UnitData[2].RxBuffer.size());
    }
    EXPECT_EQ(events.calls, QStringList{"DecodeRecord(1)"}) << "unit 1 framed on time";
    EXPECT_LE(held, AcquisitionCycle::kMaxMessageBytes);
    EXPECT_EQ(text(CommsControl::lbl_msg, 2),
              clock.text() + " bad data: more than 16384 characters without a pause, discarded");
}

TEST_F(Framing, MessageCountWrapsFromTenThousandToZero)
{
    state.UnitData[1].RxCount = 9999;
    for (const char* expected : {"10000", "0", "1"}) {
        fakes[1]->receive(kRecord);
        ticks(4);
        EXPECT_EQ(text(CommsControl::lbl_rx_cnt), expected);
    }
}

TEST_F(Framing, FramedMessageReloadsTheWatchdogFromTheMessageTimeOfThatMoment)
{
    state.MessageTime = 7;
    fakes[1]->receive(kRecord);
    ticks(4);
    // The count comes from the reload that was current (600), the reload from the new time.
    EXPECT_EQ(state.UnitData[1].WatchdogCount, 600);
    EXPECT_EQ(state.UnitData[1].WatchdogReload, 7);
}

}  // namespace
}  // namespace grainlink::test
