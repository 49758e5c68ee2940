// A serial port pointed by mistake at a device that writes as fast as it can: what the server
// holds for it stays bounded.
#include "tests/integration/real_port_cycle.h"

#include <QCoreApplication>
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

// Before every tick the port holds all it takes in, more than any message may hold, so the line
// never pauses: the message grows until it is cut off, and a few ticks more show that what is
// held stays bounded (and with it each tick's work).
TEST_F(FloodedLine, HoldsLittleAndIsCutOff)
{
    FloodingWriter writer;
    ASSERT_FALSE(writer.path.isEmpty());
    device = writer.path;
    cycle.Tick();  // opens the port
    qsizetype mostHeld = 0;
    int ticksAfterCutOff = 0;
    for (int tick = 0; ticksAfterCutOff < 3; ++tick) {
        ASSERT_LT(tick, 1000) << "never cut off";
        ASSERT_TRUE(state.PortOpenOk[1]);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return ports[1].inBufferCount() >= AcquisitionCycle::kMaxMessageBytes; }, 10000));
        cycle.Tick();
        mostHeld = std::max({mostHeld, state.UnitData[1].RxBuffer.size(),
                             static_cast<qsizetype>(ports[1].inBufferCount())});
        if (panel.text(CommsControl::lbl_msg, 1).endsWith(" discarded")) ++ticksAfterCutOff;
    }
    EXPECT_LE(mostHeld, AcquisitionCycle::kMaxMessageBytes);
}

}  // namespace
}  // namespace grainlink::test
