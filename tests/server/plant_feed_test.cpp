// What the running server core tells its plant model: the cycle's ports, silences and
// abandoned records, the decoder's refusals, the side files and the records themselves.
#include "tests/server/server_core_fixture.h"

namespace grainlink::test {
namespace {

// Unit 1 "Line A" on a fake port, raw data on, a message time of 3 s; the test drives the tick.
class PlantFeedTest : public ServerCoreTest {
protected:
    PlantFeedTest()
    {
        startDriven("[Options]\nRawLog=1\n[Unit1]\nEnable=1\nName=Line A\n"
                    "[Settings]\nMessage time=3\n");
    }
    // Input seen at one tick is framed three ticks later.
    void frame(const QByteArray& bytes)
    {
        fakes[1]->receive(bytes);
        ticks(4);
    }
    // Every event so far, oldest first, as "<event>: <detail>".
    std::vector<std::string> events()
    {
        std::vector<std::string> texts;
        for (const PlantEvent& event : core.plant().events().events())
            texts.insert(texts.begin(), (event.event + ": " + event.detail).toStdString());
        return texts;
    }
};

TEST_F(PlantFeedTest, EveryHappeningReachesTheModelOnce)
{
    const PlantModel& plant = core.plant();
    ASSERT_TRUE(QDir().mkdir("RawData1.txt"));  // a raw data file that cannot be written
    ticks(1);
    EXPECT_EQ(plant.state(1), UnitState::Stale);
    frame(";A10001");
    frame(";A10001;A2G1;\r\n");  // a character no record holds
    // ISO code 16.5 with a TempLow alarm (error bit 4).
    const QByteArray record = ";A10001;A201;A30002;A421;B100F4240;B7003C;C50A5;C101F4;D410\r\n";
    frame(record);
    EXPECT_EQ(plant.state(1), UnitState::Alarm);
    EXPECT_EQ(plant.unit(1).isoCodes[0].text, "16.5");
    EXPECT_EQ(plant.unit(1).rxCount, 2);
    ASSERT_TRUE(QDir().rmdir("RawData1.txt"));
    frame(record);
    ticks(9);  // silent for three message times
    EXPECT_EQ(plant.state(1), UnitState::Stale);
    fakes[1]->unplug();
    ticks(2 * AcquisitionCycle::kReopenInterval);
    EXPECT_EQ(plant.state(1), UnitState::PortLost);
    fakes[1]->plugIn();
    ticks(AcquisitionCycle::kReopenInterval);
    frame(record);
    core.shutdown();

    const std::string fileFailing = "File failing: RawData1.txt: ";
    std::vector<std::string> seen = events();
    ASSERT_EQ(seen.size(), 13) << ::testing::PrintToString(seen);
    EXPECT_TRUE(seen[3].starts_with(fileFailing)) << seen[3];
    seen[3] = fileFailing;
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Server started: Version 2.0", "Port opened: port 1",
                        "Record abandoned: no end of message", fileFailing,
                        "Record abandoned: bad data: a character that no record holds, not decoded",
                        "Alarm set: TempLow", "Status Fault: error code 16",
                        "File written again: RawData1.txt", "Stale: no record for 3 s",
                        "Port lost: port not open", "Port back: port 1", "Live: records again",
                        "Server stopping: "}));
}

}  // namespace
}  // namespace grainlink::test
