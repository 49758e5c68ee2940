// A serial port pointed by mistake at a device that writes as fast as it can: what the server
// holds for it stays bounded and the tick stays quick.
#include "tests/integration/real_port_cycle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace grainlink::test {
namespace {

// A pseudo-terminal whose far end is written at full speed by a thread of its own.
class FloodingWriter {
public:
    FloodingWriter()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        char name[128] = {};
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
            ptsname_r(m_master, name, sizeof name) != 0)
            return;
        path = QString::fromLocal8Bit(name);
        m_thread = std::thread([this] {
            const QByteArray chunk(65536, 'X');
            pollfd wait{m_master, POLLOUT, 0};
            while (!m_stop) {
                if (::write(m_master, chunk.constData(), chunk.size()) < 0) ::poll(&wait, 1, 20);
            }
        });
    }
    ~FloodingWriter()
    {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        if (m_master >= 0) ::close(m_master);
    }

    QString path;

private:
    int m_master = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class FloodedLine : public RealPortCycle {};

TEST_F(FloodedLine, HoldsLittleAndTicksQuickly)
{
    FloodingWriter writer;
    ASSERT_FALSE(writer.path.isEmpty());
    device = writer.path;
    qint64 slowestTickMs = 0;
    qsizetype mostHeld = 0;
    for (int tick = 0; tick < 12; ++tick) {
        QTest::qWait(100);  // the event loop reads the port between ticks
        QElapsedTimer timer;
        timer.start();
        cycle.Tick();
        slowestTickMs = std::max(slowestTickMs, timer.elapsed());
        ASSERT_TRUE(state.PortOpenOk[1]);
        mostHeld = std::max({mostHeld, state.UnitData[1].RxBuffer.size(),
                             static_cast<qsizetype>(ports[1].inBufferCount())});
    }
    EXPECT_LE(mostHeld, AcquisitionCycle::kMaxMessageBytes);
    EXPECT_LT(slowestTickMs, 500);
    EXPECT_TRUE(panel.text(CommsControl::lbl_msg, 1).endsWith(" discarded"))
        << panel.text(CommsControl::lbl_msg, 1).toStdString();
}

}  // namespace
}  // namespace grainlink::test
