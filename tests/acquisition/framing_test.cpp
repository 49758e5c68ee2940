#include "platform/file_descriptor.h"
#include "tests/acquisition/cycle_fixture.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace grainlink::test {
namespace {

const QByteArray kRecord = ";A10001A201A30002A421;C50A5C101F4\r\n";

class Framing : public CycleTest {
protected:
    Framing()
    {
        state.RawLogEnabled = true;
        ticks(1);  // opens the port
        events.calls.clear();
    }
    // The bytes arrive at once, and the four ticks that frame them pass.
    void frame(const QByteArray& bytes)
    {
        fakes[1]->receive(bytes);
        ticks(4);
    }
};

TEST_F(Framing, BurstIsReadOnTheNextTickAndFramedAfterTwoSilentTicks)
{
    state.MessageTime = 7;
    fakes[1]->receive(kRecord);
    ticks(3);  // seen, read, first silent tick
    EXPECT_TRUE(events.calls.isEmpty());
    ticks(1);  // second silent tick: framed
    EXPECT_EQ(events.calls, QStringList{"DecodeRecord(1)"});
    EXPECT_EQ(text(CommsControl::lbl_rx), QString::fromLatin1(kRecord));
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt), "1");
    EXPECT_EQ(text(CommsControl::lbl_last_msg_time), clock.text());
    EXPECT_EQ(message(), "");
    EXPECT_EQ(ReadFile("RawData1.txt"), kRecord + "\r\n");
    // The count comes from the reload that was current (600), the reload from the new time.
    EXPECT_EQ(state.UnitData[1].WatchdogCount, 600);
    EXPECT_EQ(state.UnitData[1].WatchdogReload, 7);
    ticks(5);
    EXPECT_EQ(events.calls.size(), 1) << "a message is decoded once";
}

TEST_F(Framing, MessageSplitOverTicksIsCollectedUntilTwoTicksAreSilent)
{
    state.RawLogEnabled = false;
    fakes[1]->receive(kRecord.left(10));
    ticks(2);  // seen, read
    fakes[1]->receive(kRecord.mid(10));
    ticks(2);  // read, one silent tick
    EXPECT_TRUE(events.calls.isEmpty());
    ticks(1);
    EXPECT_EQ(text(CommsControl::lbl_rx), QString::fromLatin1(kRecord));
    EXPECT_FALSE(QFile::exists("RawData1.txt")) << "raw data only when enabled";
}

// Framing asks only for the leading ";" and a line end; the decoder judges the rest.
TEST_F(Framing, OnlyMessagesWithSemicolonAndLineEndAreCountedLoggedAndDecoded)
{
    state.UnitData[1].RxCount = 9999;  // the count wraps from 10000 to 0
    const struct {
        QByteArray sent;
        const char* message;
        const char* count;
    } cases[] = {
        {"A10001\r\n", "Bad data at <now> .. A10001\r\n", ""},
        {";A10001\r", "<now> no end of message", ""},  // not even CR in the very last position
        {";\r\n", "", "10000"},
        {";A1G001\r\n", "", "0"},
    };
    for (const auto& c : cases) {
        frame(c.sent);
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(text(CommsControl::lbl_rx_cnt), c.count) << c.sent.constData();
    }
    EXPECT_EQ(events.calls.size(), 2);
    EXPECT_EQ(ReadFile("RawData1.txt"), ";\r\n\r\n;A1G001\r\n\r\n");
}

// Whatever stands where the file should be is reported once, with the reason, on the message line
// and on standard error, and once more when the file is written again; the record goes on, and
// the tick never waits for the file.
TEST_F(Framing, RawDataFileThatCannotBeWrittenIsReportedOnceAndTheRecordGoesOn)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    const char* path = "RawData1.txt";
    std::optional<FileDescriptor> held;  // the FIFO's reader, the socket
    const std::pair<const char*, std::function<bool()>> rows[] = {
        {"a directory", [&] { return QDir().mkdir(path); }},
        {"a FIFO being read",
         [&] {
             return mkfifo(path, 0600) == 0 &&
                    held.emplace(::open(path, O_RDONLY | O_NONBLOCK)).get() >= 0;
         }},
        {"a FIFO nobody reads", [&] { return mkfifo(path, 0600) == 0; }},
        {"a device", [&] { return QFile::link("/dev/full", path); }},
        {"a socket",
         [&] {
             sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
             std::strcpy(address.sun_path, path);
             const int socket = held.emplace(::socket(AF_UNIX, SOCK_STREAM, 0)).get();
             return ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
         }},
    };
    for (const auto& [what, make] : rows) {
        SCOPED_TRACE(what);
        warnings.clear();
        events.calls.clear();
        ASSERT_TRUE(make());
        frame(kRecord);
        EXPECT_EQ(message(), "<now> cannot write RawData1.txt: not a regular file")
            << qPrintable(message());
        EXPECT_EQ(warnings, QStringList{"Unit 1: " + message().mid(6)});
        frame(kRecord);
        EXPECT_EQ(message(), "") << "said once";
        EXPECT_EQ(warnings.size(), 1);

        held.reset();
        ASSERT_TRUE(QDir().rmdir(path) || QFile::remove(path));
        frame(kRecord);
        EXPECT_EQ(message(), "<now> RawData1.txt is written again");
        EXPECT_EQ(ReadFile(path), kRecord + "\r\n");
        EXPECT_EQ(events.calls.size(), 3);
        ASSERT_TRUE(QFile::remove(path));
    }
    EXPECT_EQ(notice.shown, 0);
    EXPECT_FALSE(state.PortError);
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
    fakes[2]->receive(';' + QByteArray(AcquisitionCycle::kMaxMessageBytes - 3, '0') + "\r\n");
    ticks(4);
    EXPECT_EQ(std::tuple(text(CommsControl::lbl_rx_cnt, 2), message(2)), std::tuple("1", ""))
        << "the longest message there may be is framed";
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
    EXPECT_EQ(message(2), "<now> bad data: more than 16384 characters without a pause, discarded");
}

}  // namespace
}  // namespace grainlink::test
