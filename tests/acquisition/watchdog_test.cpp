#include "tests/acquisition/cycle_fixture.h"

namespace grainlink::test {
namespace {

class Watchdog : public CycleTest {};

TEST_F(Watchdog, OpeningMarksTheUnitInvalidAndSilenceIsReportedEveryMessageTime)
{
    state.MessageTime = 3;
    ticks(1);
    EXPECT_TRUE(fakes[1]->isOpen());
    EXPECT_EQ(fakes[1]->settings(), "9600,n,8,1");
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " waiting for data");
    EXPECT_EQ(text(CommsControl::lbl_last_msg_time), "");
    EXPECT_EQ(events.calls, QStringList{"MarkUnitInvalid(1)"});

    ticks(1);
    EXPECT_EQ(events.calls.size(), 1);
    clock.advanceSeconds(2);
    ticks(1);  // the opening tick counted too
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " no message received");
    EXPECT_EQ(events.calls.size(), 2);
    ticks(3);
    EXPECT_EQ(events.calls.size(), 3);
}

TEST_F(Watchdog, DemoModeGeneratesARecordInsteadOfMarkingInvalid)
{
    state.MessageTime = 1;
    state.DemoMode = true;
    ticks(1);
    EXPECT_EQ(events.calls,
              (QStringList{"MarkUnitInvalid(1)", "MakeDemoRecord(1)", "LogData(1)"}));
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " Demo data generated");
    ticks(1);
    EXPECT_EQ(events.calls.size(), 5) << "with a message time of 1, every tick";
}

TEST_F(Watchdog, EndlessStreamIsAbandonedOnTheFifthTickAfterItWasSeen)
{
    ticks(1);
    fakes[1]->receive(";A1");
    ticks(1);  // seen at tick k
    for (int i = 0; i < 3; ++i) {
        fakes[1]->receive("0000");
        ticks(1);
        EXPECT_TRUE(state.Receiving[1]);
    }
    fakes[1]->receive("0000");
    ticks(1);  // k+4: still collecting
    EXPECT_TRUE(state.Receiving[1]);
    fakes[1]->receive("0000");
    ticks(1);  // k+5: watchdog fires, and the waiting input starts a new message at once
    EXPECT_EQ(text(CommsControl::lbl_msg), clock.text() + " no message received");
    EXPECT_TRUE(state.Receiving[1]);
    EXPECT_EQ(state.UnitData[1].WatchdogCount, 5);
    EXPECT_TRUE(state.UnitData[1].RxBuffer.isEmpty());
}

TEST_F(Watchdog, OptionsDialogKeepsAllFourPortsClosedAndTouchesNoUnitState)
{
    ticks(1);
    fakes[4]->open();  // even a port beyond the unit count
    const int16_t count = state.UnitData[1].WatchdogCount;
    state.OptionsOpen = true;
    fakes[1]->receive(";\r\n");
    ticks(3);
    for (int unit = 1; unit <= 4; ++unit) EXPECT_FALSE(fakes[unit]->isOpen());
    EXPECT_EQ(state.UnitData[1].WatchdogCount, count);
    EXPECT_FALSE(state.Receiving[1]);
    EXPECT_TRUE(state.PortsReady);

    state.OptionsOpen = false;
    state.RequestPortReopen();
    ticks(1);
    EXPECT_TRUE(fakes[1]->isOpen());
    EXPECT_TRUE(state.Receiving[1]);
}

}  // namespace
}  // namespace grainlink::test
