// The start-up port test through the server core: a port number that can never work disables
// its unit for the run; a device that is only missing is reported once and served when it
// appears, without a restart.
#include "server/server_core.h"
#include "tests/config/temp_config.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"

#include <QDir>

namespace grainlink::test {
namespace {

struct NoDde final : DdeSource {
    void setItem(const QString&, const QString&, const QString&) override {}
};

TEST(StartUpPorts, ANumberWithoutDeviceIsDisabledAndAMissingDeviceIsServedOnceItAppears)
{
    TempConfig config;
    config.setContents(
        "[Options]\nUnits=3\n[Unit1]\nEnable=1\n[Unit2]\nEnable=1\nPort=7\n[Unit3]\nEnable=1\n");
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(config.dir.path());
    NoDde dde;
    RecordingMessageBox box;
    CountingNotice notice;
    FakeClock clock;
    PerUnit<FakeSerialPort*> fakes;
    ServerCore core({config.profile, dde, box, notice, clock, [&](int unit) {
                         auto port = std::make_unique<FakeSerialPort>();
                         fakes[unit] = port.get();
                         return port;
                     }});
    fakes[2]->forgetDevice();
    fakes[3]->unplug();

    core.start();
    core.tick().stop();  // the test drives the tick
    const SharedState& state = core.state();
    ASSERT_EQ(box.messages.size(), 2);
    EXPECT_EQ(box.messages[0].text, "Bad communication port number (7)- port disabled");
    EXPECT_EQ(box.messages[1].text,
              "Communication port 3 cannot be opened now (no such device) - unit 3 will be "
              "served as soon as it can be opened");
    for (const auto& shown : box.messages) EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_FALSE(state.UnitEnabled[2]);
    EXPECT_TRUE(state.UnitEnabled[3]);
    EXPECT_FALSE(fakes[1]->isOpen()) << "the test closes what it opened";
    EXPECT_EQ(core.panel().text(CommsControl::frame_comms, 2), "Unit 2 Rx Data (Disabled)  2");

    core.cycle().Tick();
    EXPECT_EQ(notice.shown, 0) << "reported once, at start-up";
    EXPECT_TRUE(fakes[1]->isOpen());
    EXPECT_EQ(fakes[2]->openCount(), 1) << "a disabled unit is not tried again";
    EXPECT_EQ(core.panel().text(CommsControl::lbl_msg, 3),
              clock.text() + " port unavailable, retrying");
    EXPECT_EQ(core.items()[3].text(Item::status), "Error");

    fakes[3]->plugIn();
    for (int i = 0; i < AcquisitionCycle::kReopenInterval; ++i) core.cycle().Tick();
    EXPECT_TRUE(fakes[3]->isOpen());
    EXPECT_EQ(core.panel().text(CommsControl::lbl_msg, 3), clock.text() + " waiting for data");
    core.shutdown();
    QDir::setCurrent(previousDir);
}

}  // namespace
}  // namespace grainlink::test
