#include "display/history_store.h"
#include "display/history_view.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

// A record told apart by its flow index, which is also its time text.
HistoryRec Record(int n)
{
    HistoryRec record;
    record.TimeText = QString::number(n);
    record.DateText = QStringLiteral("d");
    record.FlowIndex = static_cast<float>(n);
    return record;
}

class HistoryStoreTest : public ::testing::Test {
protected:
    // Stores records first..last, in order, into unit with bufferSize rows.
    void storeRecords(int unit, int bufferSize, int first, int last)
    {
        for (int n = first; n <= last; ++n) history.store(unit, bufferSize, Record(n));
    }
    // The time texts of rows 1..rows, "" for an empty row.
    QStringList times(int unit, int rows) const
    {
        QStringList texts;
        for (int row = 1; row <= rows; ++row) texts << history.row(unit, row).TimeText;
        return texts;
    }

    HistoryStore history;
};

TEST_F(HistoryStoreTest, FillsFromTheBottomAndDropsTheOldest)
{
    storeRecords(2, 10, 1, 3);
    EXPECT_EQ(times(2, 10), QStringList({"", "", "", "", "", "", "", "1", "2", "3"}));
    const HistoryRec& empty = history.row(2, 1);
    EXPECT_TRUE(empty.DateText.isEmpty() && empty.FlowIndex == 0 && empty.Counts[1] == 0);
    EXPECT_EQ(history.row(2, 10).FlowIndex, 3);

    storeRecords(2, 10, 4, 11);
    EXPECT_EQ(times(2, 10), QStringList({"2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
    EXPECT_EQ(times(1, 10), QStringList(10, ""));  // other units keep their own rows
}

TEST_F(HistoryStoreTest, ChangingTheSizeNeitherMovesNorClearsRows)
{
    storeRecords(1, 20, 1, 20);
    // Smaller: only rows 1..10 shift; 11..20 keep what they held.
    history.store(1, 10, Record(21));
    EXPECT_EQ(times(1, 20), QStringList({"2", "3", "4", "5", "6", "7", "8", "9", "10", "21",
                                         "11", "12", "13", "14", "15", "16", "17", "18", "19",
                                         "20"}));
    // Larger again: rows 1..12 shift, taking the old rows 11 and 12 with them.
    history.store(1, 12, Record(22));
    EXPECT_EQ(times(1, 13), QStringList({"3", "4", "5", "6", "7", "8", "9", "10", "21", "11",
                                         "12", "22", "13"}));

    history.clear(1, 10);
    EXPECT_EQ(times(1, 13), QStringList({"", "", "", "", "", "", "", "", "", "", "12", "22",
                                         "13"}));
}

TEST_F(HistoryStoreTest, RefreshIsOneSignalAndOnlyUnitsOneToFourAreServed)
{
    QSignalSpy refreshed(&history, &HistoryStore::refreshed);
    QSignalSpy configured(&history, &HistoryStore::viewConfigured);
    history.ConfigureView(3, 1000);
    history.RefreshHistory(3);
    for (int unit : {0, 5, 10, -1}) {
        history.ConfigureView(unit, 10);
        history.RefreshHistory(unit);
    }
    EXPECT_EQ(refreshed.size(), 1);
    EXPECT_EQ(configured.size(), 1);
    EXPECT_EQ(refreshed.at(0).at(0).toInt(), 3);
    EXPECT_EQ(history.configuredRows(3), 1000);

    EXPECT_THROW(history.store(5, 10, Record(1)), std::out_of_range);
    EXPECT_THROW(history.row(1, 1001), std::out_of_range);
    EXPECT_THROW(history.row(1, 0), std::out_of_range);
}

TEST(HistoryView, TimeLabelsEveryTenthOfTheRowsRoundedHalfToEven)
{
    const std::pair<int, int> cases[] = {{10, 1}, {14, 1},  {15, 2},   {25, 2},  {35, 4},
                                         {36, 4}, {500, 50}, {999, 100}, {1000, 100}};
    for (const auto& [rows, interval] : cases) EXPECT_EQ(TimeLabelInterval(rows), interval) << rows;
}

}  // namespace
}  // namespace grainlink::test
