#include "display/history_store.h"
#include "display/history_view.h"

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

class HistoryStoreTest : public ::testing::Test {
protected:
    // Stores records first..last, in order, into unit with bufferSize rows; each is told apart by
    // its time text and flow index, both n.
    void store(int unit, int bufferSize, int first, int last)
    {
        for (int n = first; n <= last; ++n) {
            HistoryRec record;
            record.TimeText = QString::number(n);
            record.FlowIndex = static_cast<float>(n);
            history.store(unit, bufferSize, record);
        }
    }
    // The time texts of rows 1..rows, "-" for an empty row.
    QString times(int unit, int rows) const
    {
        QStringList texts;
        for (int row = 1; row <= rows; ++row) {
            const HistoryRec& record = history.row(unit, row);
            texts << (record.TimeText.isEmpty() && record.FlowIndex == 0 ? "-" : record.TimeText);
        }
        return texts.join(' ');
    }

    HistoryStore history;
};

TEST_F(HistoryStoreTest, FillsFromTheBottomAndDropsTheOldest)
{
    store(2, 10, 1, 3);
    EXPECT_EQ(times(2, 10), "- - - - - - - 1 2 3");
    store(2, 10, 4, 11);
    EXPECT_EQ(times(2, 10), "2 3 4 5 6 7 8 9 10 11");
    EXPECT_EQ(times(1, 10), "- - - - - - - - - -");  // other units keep their own rows

    store(3, 1000, 1, 1001);  // the largest history
    EXPECT_EQ(std::tuple(history.row(3, 1).TimeText, history.row(3, 999).TimeText,
                         history.row(3, 1000).TimeText),
              std::tuple("2", "1000", "1001"));
}

TEST_F(HistoryStoreTest, ChangingTheSizeNeitherMovesNorClearsRows)
{
    store(1, 20, 1, 20);
    // Smaller: only rows 1..10 shift; 11..20 keep what they held.
    store(1, 10, 21, 21);
    EXPECT_EQ(times(1, 20), "2 3 4 5 6 7 8 9 10 21 11 12 13 14 15 16 17 18 19 20");
    // Larger again: rows 1..12 shift, taking the old rows 11 and 12 with them.
    store(1, 12, 22, 22);
    EXPECT_EQ(times(1, 13), "3 4 5 6 7 8 9 10 21 11 12 22 13");
    history.clear(1, 10);
    EXPECT_EQ(times(1, 13), "- - - - - - - - - - 12 22 13");
}

TEST(HistoryView, TimeLabelsEveryTenthOfTheRowsRoundedHalfToEven)
{
    const std::pair<int, int> cases[] = {{10, 1}, {14, 1},   {15, 2},    {25, 2},    {35, 4},
                                         {36, 4}, {500, 50}, {999, 100}, {1000, 100}};
    for (const auto& [rows, interval] : cases) EXPECT_EQ(TimeLabelInterval(rows), interval) << rows;
}

}  // namespace
}  // namespace grainlink::test
