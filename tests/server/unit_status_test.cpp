// Stale values and demonstration records, as the cycle produces them through the server's
// unit events.
#include "server/unit_status.h"
#include "server/server_unit_events.h"
#include "tests/acquisition/cycle_fixture.h"
#include "tests/decoding/item_log.h"

#include <QRegularExpression>

namespace grainlink::test {
namespace {

// Units 1 and 2 on fake ports, served by the server's own unit events.
class UnitStatus : public CycleTest {
protected:
    UnitStatus()
    {
        state.NumUnits = 2;
        state.UnitEnabled[2] = true;
        state.UnitPort[2] = 2;
        state.MessageTime = 3;
        state.BufferSize = 10;
        events.forwardTo = &server;
    }
    QStringList demoCodes(int unit) const
    {
        return {items[unit].text(Item::ISOCode4um), items[unit].text(Item::Counts21um)};
    }

    ItemTables items;
    HistoryStore history;
    DataLog log{state, items, history, clock, [](int, const SideFileReport&) {}};
    ServerUnitEvents server{state, items, log};
};

TEST_F(UnitStatus, OpeningMarksEveryValueStaleAndLeavesErrorCodeAndFactorAlone)
{
    items[1].setText(Item::lbl_error, "129");
    items[1].setText(Item::txt_flow_factor, "0.5");
    ItemLog log(items[1]);
    ticks(1);
    // 22 values and the flow index, last; every flag and the status change text and colour.
    EXPECT_EQ(log.changes.filter(QRegularExpression("=-1$")).size(), 23);
    EXPECT_EQ(log.changes.last(), "FlowIndex=-1");
    EXPECT_EQ(log.changes.size(), 23 + 2 * 8 + 2) << "nothing else changes";
    for (Item flag : kAlarmFlags)
        EXPECT_EQ(std::pair(items[1].text(flag), items[1].colour(flag)),
                  std::pair(QString("1"), kRed));
    EXPECT_EQ(std::pair(items[1].text(Item::status), items[1].colour(Item::status)),
              std::pair(QString("Error"), kRed));
    EXPECT_EQ(items[3].text(Item::status), "") << "a unit that is not served is left alone";
}

TEST_F(UnitStatus, DemoRecordsAreDealtFromOneCycleInUnitOrderAndGoOnAfterASwitchOff)
{
    state.DemoMode = true;
    ticks(3);  // both units expire in the third tick
    EXPECT_EQ(demoCodes(1), (QStringList{"16.6", "5.5"}));  // record A
    EXPECT_EQ(demoCodes(2), (QStringList{"15.9", "5.5"}));  // record B
    EXPECT_FLOAT_EQ(history.row(2, 10).IsoCodes[1], 15.9f) << "stored in the history";
    for (int unit : {1, 2}) {
        EXPECT_EQ(std::pair(items[unit].text(Item::status), items[unit].colour(Item::status)),
                  std::pair(QString("DEMO"), kGreen));
        for (Item flag : kAlarmFlags)
            EXPECT_EQ(std::pair(items[unit].text(flag), items[unit].colour(flag)),
                      std::pair(QString("0"), kGreen));
        EXPECT_EQ(items[unit].text(Item::SystemID), "-1") << "left as the opening marked it";
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
            texts << items[1].text(Item::LaserCurrent) + ' ' + items[1].text(Item::DiodePower) +
                         ' ' + items[1].text(Item::Temperature);
        }
        return texts;
    };
    const QStringList first = run();
    EXPECT_EQ(first, run()) << "the generator is never seeded";
    const QRegularExpression ranges(
        "^(24\\.\\d\\d|25\\.00) (11\\.\\d|12\\.0) (19\\.\\d\\d|20\\.00)$");
    for (const QString& text : first)
        EXPECT_TRUE(ranges.match(text).hasMatch()) << qPrintable(text);
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 100) << "the values do vary";
}

}  // namespace
}  // namespace grainlink::test
