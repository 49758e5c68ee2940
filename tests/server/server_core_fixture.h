#pragma once

#include "server/server_core.h"
#include "tests/acquisition/cycle_fixture.h"
#include "tests/config/temp_config.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {

// The whole server core over fake ports, from a scratch working directory.
class ServerCoreTest : public ::testing::Test {
protected:
    ~ServerCoreTest() override { core.shutdown(); }

    // Starts the core on the given GRAINLINK.INI with its timer stopped: the test drives the tick.
    void startDriven(const QByteArray& ini)
    {
        config.setContents(ini);
        core.start();
        core.tick().stop();
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) core.runTick();
    }

    ScratchWorkingDir scratch;
    TempConfig config;
    NoDde dde;
    RecordingMessageBox box;
    CountingNotice notice;
    FakeClock clock;
    PerUnit<FakeSerialPort*> fakes;
    ServerCore core{{config.profile, dde, box, notice, clock, FakePortFactory(fakes)}};
};

}  // namespace grainlink::test
