#include "tests/acquisition/cycle_fixture.h"

namespace grainlink::test {
namespace {

class Watchdog : public CycleTest {};

TEST_F(Watchdog, OpeningMarksTheUnitInvalidAndSilenceIsReportedEveryMessageTime)
{
    state.MessageTime = 3;
    ticks(1);
    EXPECT_EQ(fakes[1]->settings(), "9600,n,8,1");
    EXPECT_EQ(message(), "<now> waiting for data");
    EXPECT_EQ(events.calls, QStringList{"MarkUnitInvalid(1)"});

    clock.advanceSeconds(2);
    ticks(2);  // the opening tick counted too
    EXPECT_EQ(message(), "<now> no message received");
    EXPECT_EQ(events.calls.size(), 2);
    ticks(3);
    EXPECT_EQ(events.calls.size(), 3);
}

TEST_F(Watchdog, DemoModeGeneratesARecordInsteadOfMarkingInvalid)
{
    state.MessageTime = 1;
    state.DemoMode = true;
    ticks(2);
    EXPECT_EQ(events.calls, (QStringList{"MarkUnitInvalid(1)", "MakeDemoRecord(1)", "LogData(1)",
                                         "MakeDemoRecord(1)", "LogData(1)"}));
    EXPECT_EQ(message(), "<now> Demo data generated");
}

TEST_F(Watchdog, EndlessStreamIsAbandonedOnTheFifthTickAfterItWasSeen)
{
    ticks(1);
    fakes[1]->receive(";A1");
    for (int tick = 0; tick <= 4; ++tick) {  // seen at tick 0, still collecting at 4
        ticks(1);
        fakes[1]->receive("0000");
        ASSERT_EQ(message(), "<now> waiting for data") << tick;
    }
    ticks(1);  // the watchdog fires, and the waiting input starts a new message at once
    EXPECT_EQ(message(), "<now> no message received");
    EXPECT_TRUE(state.Receiving[1]);
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

    state.OptionsOpen = false;
    state.RequestPortReopen();
    ticks(1);
    EXPECT_TRUE(fakes[1]->isOpen());
    EXPECT_TRUE(state.Receiving[1]);
}

}  // namespace
}  // namespace grainlink::test
