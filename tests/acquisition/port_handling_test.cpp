#include "tests/acquisition/cycle_fixture.h"

namespace grainlink::test {
namespace {

class PortHandling : public CycleTest {
protected:
    PortHandling()
    {
        state.NumUnits = 2;
        state.UnitEnabled[2] = true;
        state.UnitPort[2] = 2;
    }
    // Ticks until the unit's port has been reopened, at most `limit` ticks; returns how many.
    int ticksUntilOpen(int unit, int limit)
    {
        for (int n = 1; n <= limit; ++n) {
            ticks(1);
            if (state.PortOpenOk[unit]) return n;
        }
        return -1;
    }
};

TEST_F(PortHandling, PortThatFailsToOpenIsReportedWhileTheOthersStillOpen)
{
    fakes[1]->unplug();
    ticks(1);
    EXPECT_EQ(notice.shown, 1);
    EXPECT_FALSE(state.PortOpenOk[1]);
    EXPECT_TRUE(state.PortOpenOk[2]);
    EXPECT_EQ(text(CommsControl::lbl_msg, 1), clock.text() + " port unavailable, retrying");
    EXPECT_EQ(events.calls, (QStringList{"MarkUnitInvalid(1)", "MarkUnitInvalid(2)"}));

    ticks(10);
    EXPECT_EQ(notice.shown, 1) << "retries are quiet";
    state.RequestPortReopen();
    ticks(1);
    EXPECT_EQ(notice.shown, 1) << "a reopen request does not report the same outage again";

    fakes[1]->plugIn();
    ticks(AcquisitionCycle::kReopenInterval);
    EXPECT_TRUE(state.PortOpenOk[1]);
    EXPECT_EQ(text(CommsControl::lbl_msg, 1), clock.text() + " waiting for data");
    fakes[1]->unplug();
    state.RequestPortReopen();
    ticks(1);
    EXPECT_EQ(notice.shown, 2) << "a new outage is reported";
}

TEST_F(PortHandling, AnOutageAlreadyReportedAtStartUpIsNotReportedAgain)
{
    fakes[1]->unplug();
    cycle.NotePortUnavailable(1);
    ticks(1);
    EXPECT_EQ(notice.shown, 0);
    EXPECT_FALSE(state.PortError);
    fakes[1]->plugIn();
    ticks(AcquisitionCycle::kReopenInterval);
    EXPECT_TRUE(state.PortOpenOk[1]);
}

TEST_F(PortHandling, VanishedDeviceIsReportedOnceAndReopenedAloneWhenBack)
{
    ticks(1);
    const int unit2Opens = fakes[2]->openCount();
    events.calls.clear();

    fakes[1]->receive(";A1");
    ticks(2);
    fakes[1]->unplug();  // in the middle of a message
    ticks(1);
    EXPECT_EQ(notice.shown, 1);
    EXPECT_TRUE(state.PortError);
    EXPECT_FALSE(state.Receiving[1]);
    EXPECT_FALSE(state.PortOpenOk[1]);
    EXPECT_EQ(text(CommsControl::lbl_msg, 1), clock.text() + " port unavailable, retrying");
    EXPECT_EQ(events.calls, QStringList{"MarkUnitInvalid(1)"});

    ticks(12);
    EXPECT_EQ(notice.shown, 1);
    EXPECT_GE(fakes[1]->openCount(), 3) << "it keeps trying";

    fakes[1]->plugIn();
    EXPECT_GT(ticksUntilOpen(1, AcquisitionCycle::kReopenInterval), 0);
    EXPECT_EQ(text(CommsControl::lbl_msg, 1), clock.text() + " waiting for data");

    fakes[1]->receive(";\r\n");
    ticks(4);
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt, 1), "1");
    EXPECT_TRUE(fakes[2]->isOpen());
    EXPECT_EQ(fakes[2]->openCount(), unit2Opens) << "the other unit is left alone";
}

TEST_F(PortHandling, ReopenRequestClearsAnEarlierTrappedError)
{
    fakes[2]->unplug();
    ticks(1);
    ASSERT_TRUE(state.PortError);
    fakes[2]->plugIn();

    state.UnitPort[1] = 5;
    state.RequestPortReopen();
    ticks(1);
    EXPECT_EQ(fakes[1]->portNumber(), 5);
    EXPECT_TRUE(state.PortOpenOk[2]);
}

TEST_F(PortHandling, UnitsNotServedAreNeitherOpenedNorReadAndRaiseNoError)
{
    state.UnitEnabled[4] = true;  // beyond the unit count
    ticks(1);
    EXPECT_EQ(fakes[4]->openCount(), 0);
    state.UnitEnabled[2] = false;
    state.NumUnits = 7;  // beyond the four ports
    state.UnitEnabled[3] = false;
    fakes[2]->receive(";\r\n");
    state.RequestPortReopen();
    ticks(6);
    EXPECT_FALSE(fakes[2]->isOpen());
    EXPECT_FALSE(state.PortOpenOk[2]);
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt, 2), "") << "a unit no longer served is not read";
    EXPECT_EQ(fakes[3]->openCount(), 0);
    EXPECT_TRUE(state.PortOpenOk[1]);
    EXPECT_EQ(notice.shown, 0);
}

}  // namespace
}  // namespace grainlink::test
