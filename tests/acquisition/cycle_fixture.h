#pragma once

#include "acquisition/acquisition_cycle.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {

// A cycle over four fake ports with unit 1 enabled, run from a scratch working directory.
class CycleTest : public ::testing::Test {
protected:
    CycleTest()
        : ports([this](int unit) {
              auto port = std::make_unique<FakeSerialPort>();
              fakes[unit] = port.get();
              return port;
          }),
          cycle(state, ports, panel, clock, events, notice)
    {
        state.NumUnits = 1;
        state.UnitEnabled[1] = true;
        state.UnitPort[1] = 1;
        state.MessageTime = 600;
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_scratch.path());
    }
    ~CycleTest() override { QDir::setCurrent(m_previousDir); }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) cycle.Tick();
    }
    QString text(CommsControl control, int unit = 1) const { return panel.text(control, unit); }

    SharedState state;
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    PerUnit<FakeSerialPort*> fakes;
    ComPorts ports;
    AcquisitionCycle cycle;

private:
    QTemporaryDir m_scratch;
    QString m_previousDir;
};

}  // namespace grainlink::test
