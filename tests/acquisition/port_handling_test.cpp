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
};

TEST_F(PortHandling, AnOutageIsReportedOnceAndOnlyItsPortIsRetriedUntilTheDeviceIsBack)
{
    fakes[1]->unplug();
    ticks(1);
    const int unit2Opens = fakes[2]->openCount();
    EXPECT_EQ(notice.shown, 1);
    EXPECT_EQ(
        std::tuple(notice.last.unit, notice.last.device, notice.last.reason, notice.last.when),
        std::tuple(1, "/dev/ttyS0", "no such device", clock.now()));
    EXPECT_TRUE(state.PortOpenOk[2]) << "the others still open";
    EXPECT_EQ(message(1), "<now> port unavailable, retrying");
    EXPECT_EQ(events.calls, (QStringList{"MarkUnitInvalid(1)", "MarkUnitInvalid(2)"}));
    ticks(10);
    EXPECT_GE(fakes[1]->openCount(), 3) << "it keeps trying";
    fakes[1]->plugIn();
    ticks(AcquisitionCycle::kReopenInterval);
    EXPECT_EQ(message(1), "<now> waiting for data");
    EXPECT_EQ(fakes[2]->openCount(), unit2Opens) << "the other unit is left alone";
    EXPECT_EQ(notice.shown, 1) << "the retries are quiet";
    EXPECT_EQ(notice.recovered, std::vector<int>{1}) << "the notice learns the unit is back";

    // The device vanishes in the middle of a message: a new outage, reported once more.
    fakes[1]->receive(";A1");
    ticks(2);
    fakes[1]->unplug();
    events.calls.clear();
    ticks(1);
    EXPECT_EQ(events.calls, QStringList{"MarkUnitInvalid(1)"});
    EXPECT_EQ(message(1), "<now> port unavailable, retrying");
    state.RequestPortReopen();
    ticks(AcquisitionCycle::kReopenInterval);
    EXPECT_EQ(notice.shown, 2) << "a reopen request does not report the same outage again";
    EXPECT_EQ(std::tuple(notice.last.unit, notice.last.reason), std::tuple(1, "port not open"));
    EXPECT_EQ(notice.recovered, std::vector<int>{1});
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
    fakes[2]->receive(";\r\n");
    state.RequestPortReopen();
    ticks(6);
    EXPECT_FALSE(fakes[2]->isOpen());
    EXPECT_EQ(text(CommsControl::lbl_rx_cnt, 2), "") << "a unit no longer served is not read";
    EXPECT_TRUE(state.PortOpenOk[1]);
    EXPECT_EQ(notice.shown, 0);
}

}  // namespace
}  // namespace grainlink::test
