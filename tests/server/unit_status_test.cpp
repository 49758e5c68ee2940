// Stale values and demonstration records, as the cycle produces them through the server's
// unit events.
#include "acquisition/acquisition_cycle.h"
#include "server/server_unit_events.h"
#include "server/unit_status.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"

#include "acquisition/unit_file_name.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

// Every change of one unit's items, as "item=text" and "item#colour", in order.
class ItemLog : public QObject {
public:
    explicit ItemLog(ItemTable& table)
    {
        connect(&table, &ItemTable::textChanged, this, [this](Item item, const QString& text) {
            changes << ItemName(item) + "=" + text;
        });
        connect(&table, &ItemTable::colourChanged, this, [this](Item item, Colour colour) {
            changes << ItemName(item) + "#" + QString::number(colour);
        });
    }
    QStringList changes;
};

// Units 1 and 2 on fake ports, served by the server's own unit events.
class UnitStatus : public ::testing::Test {
protected:
    UnitStatus()
        : ports([](int) { return std::make_unique<FakeSerialPort>(); }),
          log(state, items, history, clock, [](int, const QString&) {}),
          events(state, items, log),
          cycle(state, ports, panel, clock, events, notice)
    {
        state.NumUnits = 2;
        for (int unit : {1, 2}) {
            state.UnitEnabled[unit] = true;
            state.UnitPort[unit] = static_cast<int16_t>(unit);
        }
        state.MessageTime = 3;
        state.BufferSize = 10;
        state.LogEnabled = true;
        state.LogFile = m_logDir.filePath("Data.log");
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) cycle.Tick();
    }
    QStringList demoCodes(int unit) const
    {
        return {items[unit].text(Item::ISOCode4um), items[unit].text(Item::Counts21um)};
    }

    SharedState state;
    ItemTables items;
    CommsPanel panel;
    FakeClock clock;
    CountingNotice notice;
    ComPorts ports;
    HistoryStore history;
    DataLog log;
    ServerUnitEvents events;
    AcquisitionCycle cycle;

private:
    QTemporaryDir m_logDir;
};

TEST_F(UnitStatus, OpeningMarksEveryValueStaleInOrderAndLeavesErrorCodeAndFactorAlone)
{
    items[1].setText(Item::lbl_error, "129");
    items[1].setText(Item::txt_flow_factor, "0.5");
    ItemLog log(items[1]);
    ticks(1);

    QStringList expected;
    for (const char* value : {"SystemID", "NodeID", "SerialNo", "Firmware", "Chan1Duty",
                              "Chan2Duty", "Chan3Duty", "Chan4Duty", "Chan1Event", "Chan4Event",
                              "SampleTime", "Counts4um", "Counts6um", "Counts14um", "Counts21um",
                              "ISOCode4um", "ISOCode6um", "ISOCode14um", "ISOCode21um",
                              "LaserCurrent", "DiodePower", "Temperature"})
        expected << QString(value) + "=-1";
    // The flags start "0" on green, so both text and colour change, Flow before Concentration.
    for (const char* flag : {"LaserLow", "LaserHigh", "RcvPwrLo", "RcvPwrHi", "TempLow",
                             "TempHigh", "Flow", "Concentration"})
        expected << QString(flag) + "=1" << QString(flag) + "#255";
    expected << "status=Error" << "status#255" << "FlowIndex=-1";
    EXPECT_EQ(log.changes, expected);
    EXPECT_EQ(items[1].text(Item::lbl_error), "129");
    EXPECT_EQ(items[1].text(Item::txt_flow_factor), "0.5");
    EXPECT_EQ(items[3].text(Item::status), "") << "a unit that is not served is left alone";
}

TEST_F(UnitStatus, ASilentUnitIsMarkedAgainEveryMessageTimeUntilARecordArrives)
{
    ticks(2);  // the opening tick counts as the first of the three
    items[1].setText(Item::Counts4um, "513");  // as a record would
    ItemLog log(items[1]);
    ticks(1);
    EXPECT_EQ(log.changes, QStringList{"Counts4um=-1"}) << "marked again, no more than changed";
    ticks(2);
    EXPECT_EQ(log.changes.size(), 1);
    items[1].setText(Item::Counts4um, "513");
    ticks(1);
    EXPECT_EQ(items[1].text(Item::Counts4um), "-1") << "and again three ticks later";

    state.MessageTime = 1;
    state.RequestPortReopen();
    ticks(1);
    items[1].setText(Item::status, "OK");
    ticks(1);
    EXPECT_EQ(items[1].text(Item::status), "Error") << "with a message time of 1, every tick";
}

TEST_F(UnitStatus, DemoRecordsAreDealtFromOneCycleInUnitOrderAndGoOnAfterASwitchOff)
{
    state.DemoMode = true;
    ticks(3);  // both units expire in the third tick
    EXPECT_EQ(demoCodes(1), (QStringList{"16.6", "5.5"}));  // record A
    EXPECT_EQ(demoCodes(2), (QStringList{"15.9", "5.5"}));  // record B
    EXPECT_FLOAT_EQ(history.row(2, 10).IsoCodes[1], 15.9f) << "stored in the history";
    EXPECT_FLOAT_EQ(history.row(2, 10).FlowIndex, -1);
    EXPECT_FALSE(history.row(2, 10).ErrorState) << "DEMO is not a fault";
    EXPECT_FALSE(QFile::exists(UnitFileName(state.LogFile, 1))) << "but not logged";
    for (int unit : {1, 2}) {
        EXPECT_EQ(items[unit].text(Item::status), "DEMO");
        EXPECT_EQ(items[unit].colour(Item::status), kGreen);
        for (Item flag : kAlarmFlags)
            EXPECT_EQ(std::pair(items[unit].text(flag), items[unit].colour(flag)),
                      std::pair(QString("0"), kGreen));
        EXPECT_EQ(items[unit].text(Item::SystemID), "-1") << "left as the opening marked it";
        EXPECT_EQ(items[unit].text(Item::FlowIndex), "-1");
    }

    state.DemoMode = false;
    ticks(3);
    EXPECT_EQ(items[1].text(Item::status), "Error");
    state.DemoMode = true;
    ticks(3);
    EXPECT_EQ(demoCodes(1), (QStringList{"15.2", "1.11"}));  // record C: the cycle went on
    EXPECT_EQ(demoCodes(2), (QStringList{"16.6", "5.5"}));   // then A again
    ticks(3);
    EXPECT_EQ(demoCodes(1), (QStringList{"15.9", "5.5"}));  // B
    EXPECT_EQ(demoCodes(2), (QStringList{"16.6", "5.5"})) << "A, B, C, A, B, then A";
}

TEST(DemoData, DiagnosticsWobbleWithinTheirRangesAndRepeatFromRunToRun)
{
    const auto run = [] {
        SharedState state;
        ItemTables items;
        DemoData demo(state);
        QStringList texts;
        for (int i = 0; i < 200; ++i) {
            demo.MakeDemoRecord(1, items);
            for (Item item : {Item::LaserCurrent, Item::DiodePower, Item::Temperature})
                texts << items[1].text(item);
        }
        return texts;
    };
    const QStringList first = run();
    EXPECT_EQ(first, run()) << "the generator is never seeded";
    const QLocale locale;
    for (int i = 0; i < first.size(); i += 3) {
        const double laser = locale.toDouble(first[i]);
        const double diode = locale.toDouble(first[i + 1]);
        const double temperature = locale.toDouble(first[i + 2]);
        EXPECT_TRUE(laser >= 24.0 && laser <= 25.0) << laser;
        EXPECT_TRUE(diode >= 11.0 && diode <= 12.0) << diode;
        EXPECT_TRUE(temperature >= 19.0 && temperature <= 20.0) << temperature;
        EXPECT_EQ(first[i].section(locale.decimalPoint(), 1).size(), 2);
        EXPECT_EQ(first[i + 1].section(locale.decimalPoint(), 1).size(), 1);
    }
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 100) << "the values do vary";
}

TEST(DemoData, ResetStartsAtRecordAAgainAndForgetsOpenedPorts)
{
    SharedState state;
    ItemTables items;
    DemoData demo(state);
    demo.MakeDemoRecord(7, items);  // a unit outside 1..4 still moves the cycle on
    EXPECT_EQ(demo.DemoIndex(), 9);
    state.PortOpenOk[2] = true;
    demo.ResetDemoState();
    EXPECT_EQ(demo.DemoIndex(), 1);
    EXPECT_FALSE(state.PortOpenOk[2]);
}

}  // namespace
}  // namespace grainlink::test
