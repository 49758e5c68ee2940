#pragma once

// The server core on fakes, for the fuzz targets that drive it: the settings held in memory, a
// fake serial port per unit that the target feeds, a clock moved on by hand, no DDE and no
// message boxes.

#include "server/server_core.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"

namespace grainlink::fuzz {

class FuzzedServer {
public:
    // `settings`: "section/key" in lower case -> value. The core is started by the caller, once
    // it is connected to what the target checks.
    explicit FuzzedServer(QMap<QByteArray, QByteArray> settings)
    {
        m_profile.values = std::move(settings);
    }

    ServerCore& core() { return m_core; }
    test::FakeClock& clock() { return m_clock; }
    test::FakeSerialPort& port(int unit) { return *m_ports[unit]; }

    // One tick of the acquisition cycle, then a second later.
    void tick()
    {
        m_core.cycle().Tick();
        m_clock.advanceSeconds(1);
    }

private:
    test::RecordingProfile m_profile;
    test::NoDde m_dde;
    test::RecordingMessageBox m_messageBox;
    test::CountingNotice m_notice;
    test::FakeClock m_clock;
    PerUnit<test::FakeSerialPort*> m_ports;
    ServerCore m_core{ServerServices{m_profile, m_dde, m_messageBox, m_notice, m_clock,
                                     test::FakePortFactory(m_ports)}};
};

}  // namespace grainlink::fuzz
