// A serial device that disappears and comes back, on real pseudo-terminals through QSerialPort:
// the loss is reported once, the unit is reopened alone when the device is back, and records
// are framed again.
#include "tests/integration/real_port_cycle.h"
#include "tools/sim/serial_line.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

// Port 1 is a symbolic link, pointed at whichever pseudo-terminal is plugged in.
class DeviceLoss : public RealPortCycle {
protected:
    DeviceLoss() { device = m_dir.filePath("unit1"); }

    void plugIn(const sim::SerialLine& line)
    {
        QFile::remove(device);
        ASSERT_TRUE(QFile::link(line.path(), device));
    }
    void tick()
    {
        QCoreApplication::processEvents();
        cycle.Tick();
    }
    // The line hands the record over a moment after it is sent: the ticks that frame it start
    // once all of it waits.
    void sendRecord(sim::SerialLine& line)
    {
        const QByteArray record = ";A10001\r\n";
        line.send(record);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return ports[1].inBufferCount() >= record.size(); }, 5000));
        for (int i = 0; i < 4; ++i) tick();
    }

    QTemporaryDir m_dir;
};

TEST_F(DeviceLoss, VanishedDeviceIsReportedOnceAndFramesAgainWhenBack)
{
    auto first = sim::SerialLine::OpenPseudoTerminal();
    plugIn(*first);
    tick();
    ASSERT_TRUE(state.PortOpenOk[1]) << "could not open " << device.toStdString();
    sendRecord(*first);
    EXPECT_EQ(panel.text(CommsControl::lbl_rx_cnt, 1), "1");

    first.reset();  // the instrument's end closes: the device is gone
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(notice.shown, 1);
    EXPECT_EQ(std::tuple(notice.last.unit, notice.last.device), std::tuple(1, device));
    EXPECT_EQ(notice.last.reason.toStdString(), "device lost");
    EXPECT_FALSE(state.PortOpenOk[1]);
    EXPECT_TRUE(cycle.IsAwaitingReopen(1));

    auto second = sim::SerialLine::OpenPseudoTerminal();
    plugIn(*second);
    for (int i = 0; i < AcquisitionCycle::kReopenInterval && !state.PortOpenOk[1]; ++i) tick();
    ASSERT_TRUE(state.PortOpenOk[1]);
    sendRecord(*second);
    EXPECT_EQ(panel.text(CommsControl::lbl_rx_cnt, 1), "2");
    EXPECT_EQ(notice.shown, 1);
    EXPECT_EQ(notice.recovered, std::vector<int>{1});
}

}  // namespace
}  // namespace grainlink::test
