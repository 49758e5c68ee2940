#pragma once

#include "acquisition/acquisition_cycle.h"
#include "platform/qt_serial_port.h"
#include "tests/support/recording_unit_events.h"
#include "tests/support/test_doubles.h"

#include <gtest/gtest.h>

namespace grainlink::test {

// An acquisition cycle over real serial ports serving unit 1, whose port 1 is the device path
// in `device`; the other port numbers have no device.
class RealPortCycle : public ::testing::Test {
protected:
    RealPortCycle()
        : ports([this](int) {
              return std::make_unique<QtSerialPort>(
                  [this](int16_t number) { return number == 1 ? device : QString(); });
          }),
          cycle(state, ports, panel, clock, events, notice)
    {
        state.NumUnits = 1;
        state.UnitEnabled[1] = true;
        state.UnitPort[1] = 1;
        state.MessageTime = 600;
    }

    QString device;
    SharedState state;
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    ComPorts ports;
    AcquisitionCycle cycle;
};

}  // namespace grainlink::test
