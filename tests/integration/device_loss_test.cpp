// A serial device that disappears and comes back, on real pseudo-terminals through QSerialPort:
// the loss is reported once, the unit is reopened alone when the device is back, and records
// are framed again.
#include "acquisition/acquisition_cycle.h"
#include "platform/qt_serial_port.h"
#include "tests/support/test_doubles.h"
#include "tools/sim/serial_line.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

class DeviceLoss : public ::testing::Test {
protected:
    DeviceLoss()
        : m_link(m_dir.filePath("unit1")),
          ports([this](int) {
              return std::make_unique<QtSerialPort>(
                  [this](int16_t number) { return number == 1 ? m_link : QString(); });
          }),
          cycle(state, ports, panel, clock, events, notice)
    {
        state.NumUnits = 1;
        state.UnitEnabled[1] = true;
        state.UnitPort[1] = 1;
        state.MessageTime = 600;
    }

    void plugIn(const sim::SerialLine& device)
    {
        QFile::remove(m_link);
        ASSERT_TRUE(QFile::link(device.path(), m_link));
    }
    void tick()
    {
        QCoreApplication::processEvents();
        cycle.Tick();
    }
    void sendRecord(sim::SerialLine& device)
    {
        device.send(";A10001\r\n");
        for (int i = 0; i < 4; ++i) tick();
    }

    QTemporaryDir m_dir;
    QString m_link;
    SharedState state;
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    ComPorts ports;
    AcquisitionCycle cycle;
};

TEST_F(DeviceLoss, VanishedDeviceIsReportedOnceAndFramesAgainWhenBack)
{
    auto first = sim::SerialLine::OpenPseudoTerminal();
    plugIn(*first);
    tick();
    ASSERT_TRUE(state.PortOpenOk[1]) << "could not open " << m_link.toStdString();
    sendRecord(*first);
    EXPECT_EQ(panel.text(CommsControl::lbl_rx_cnt, 1), "1");

    first.reset();  // the instrument's end closes: the device is gone
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(notice.shown, 1);
    EXPECT_FALSE(state.PortOpenOk[1]);
    EXPECT_TRUE(cycle.IsAwaitingReopen(1));

    auto second = sim::SerialLine::OpenPseudoTerminal();
    plugIn(*second);
    for (int i = 0; i < AcquisitionCycle::kReopenInterval && !state.PortOpenOk[1]; ++i) tick();
    ASSERT_TRUE(state.PortOpenOk[1]);
    sendRecord(*second);
    EXPECT_EQ(panel.text(CommsControl::lbl_rx_cnt, 1), "2");
    EXPECT_EQ(notice.shown, 1);
}

}  // namespace
}  // namespace grainlink::test
