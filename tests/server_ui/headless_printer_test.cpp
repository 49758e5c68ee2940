#include "server/headless_printer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace grainlink {
namespace {

// A pipe that holds `capacity` bytes; the test reads its far end when it chooses.
struct Pipe {
    explicit Pipe(int capacity)
    {
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) fcntl(fds[1], F_SETPIPE_SZ, capacity);
    }
    ~Pipe()
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    // What the pipe holds now, after letting the writer catch up.
    QByteArray drain()
    {
        QByteArray all;
        char buffer[65536];
        for (int pass = 0; pass < 100; ++pass) {
            QCoreApplication::processEvents();
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n > 0) all.append(buffer, n);
            if (n <= 0 && pass > 2) break;
        }
        return all;
    }
    int fds[2] = {-1, -1};
};

TEST(HeadlessPrinter, WritesOneLinePerPanelChangeWithControlCharactersEscaped)
{
    Pipe out(65536);
    CommsPanel panel;
    HeadlessPrinter printer(panel, out.fds[1]);
    panel.setText(CommsControl::lbl_rx_cnt, 1, "1");
    panel.setText(CommsControl::lbl_rx, 2, ";A1%2\r\n");
    panel.setText(CommsControl::lbl_rx_cnt, 1, "1");  // unchanged: no line
    panel.setText(CommsControl::lbl_msg, 4, "x");
    panel.setText(CommsControl::lbl_msg, 4, "");
    panel.setText(CommsControl::frame_comms, 3,
                  QString::fromLatin1("a\x1b[2J\0\x7f\t\x9b", 9) + QStringLiteral("Zürich"));
    EXPECT_EQ(out.drain().toStdString(),
              "lbl_rx_cnt(1) = 1\n"
              "lbl_rx(2) = ;A1%2\\r\\n\n"
              "lbl_msg(4) = x\n"
              "lbl_msg(4) = \n"
              "frame_comms(3) = a\\x1B[2J\\x00\\x7F\\x09\\x9BZ\xC3\xBCrich\n");
}

// Nobody reads while far more than the backlog is printed: every write returns at once, the
// first lines wait whole, the rest is counted, and the reader hears of it once it is back.
TEST(HeadlessPrinter, AReaderThatFallsBehindLosesLinesAndIsToldHowMany)
{
    Pipe out(4096);
    CommsPanel panel;
    HeadlessPrinter printer(panel, out.fds[1]);
    const int lines = 4000;
    for (int i = 0; i < lines; ++i)
        panel.setText(CommsControl::lbl_msg, 1, QString::number(i).leftJustified(100, u'.'));
    const QList<QByteArray> got = out.drain().split('\n');

    ASSERT_GT(got.size(), 3);
    const int kept = static_cast<int>(got.size()) - 2;
    EXPECT_EQ(got.mid(kept), QList<QByteArray>({"(" + QByteArray::number(lines - kept) +
                                                    " lines dropped: standard output was not read)",
                                                ""}));
    EXPECT_GT(kept, 2000);  // the backlog holds a few hundred KiB
    for (int i = 0; i < kept; ++i)
        ASSERT_TRUE(got[i].startsWith("lbl_msg(1) = " + QByteArray::number(i) + '.')) << i;

    panel.setText(CommsControl::lbl_msg, 1, "back");
    EXPECT_EQ(out.drain(), "lbl_msg(1) = back\n");
}

}  // namespace
}  // namespace grainlink
