#include "server/data_log.h"

#include "acquisition/side_file_report.h"
#include "server/number_text.h"
#include "tests/acquisition/cycle_fixture.h"
#include "tests/support/file_size_limit.h"

namespace grainlink::test {
namespace {

// As the tools that read the files expect: µ and ° as the single bytes B5h and B0h.
const QByteArray kHeader =
    "Date;Time;4\xB5m counts/mL;6\xB5m counts/mL;14\xB5m counts/mL;21\xB5m counts/mL;"
    "4\xB5m ISO code;6\xB5m ISO code;14\xB5m ISO code;21\xB5m ISO code;Error state;Error code;"
    "Laser current;Diode power;Temperature \xB0"
    "C;Flow Index\r\n";

// A unit with a typical record in its items (every value a number, status "OK"), logging to
// Data<n>.log in a scratch working directory.
class DataLogTest : public ::testing::Test {
protected:
    DataLogTest()
    {
        state.BufferSize = 10;
        state.LogEnabled = true;
        state.LogFile = QStringLiteral("Data.log");
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            set(unit, {{Item::Counts4um, "0.0120"}, {Item::Counts6um, "513"},
                       {Item::Counts14um, "12340000"}, {Item::Counts21um, "-1"},
                       {Item::ISOCode4um, "16.0"}, {Item::ISOCode6um, "-1"},
                       {Item::ISOCode14um, "12.5"}, {Item::ISOCode21um, "0.0"},
                       {Item::LaserCurrent, "42"}, {Item::DiodePower, "2.46"},
                       {Item::Temperature, "-5"}, {Item::FlowIndex, "57"}, {Item::status, "OK"},
                       {Item::lbl_error, "3"}});
    }
    void set(int unit, std::initializer_list<std::pair<Item, const char*>> texts)
    {
        for (const auto& [item, text] : texts) items[unit].setText(item, QString::fromUtf8(text));
    }

    ScratchWorkingDir scratch;
    SharedState state;
    ItemTables items;
    HistoryStore history;
    FakeClock clock;
    CommsPanel panel;
    DataLog log{state, items, history, clock, MessageLineReporter(panel, clock, NoCycleReports())};
};

// At the largest history, the record is its last row, from which the line is made.
TEST_F(DataLogTest, ARecordIsStampedStoredRefreshedThenLoggedFieldByField)
{
    state.BufferSize = 1000;
    CreateMissingLogFiles(state);
    QByteArray fileAtRefresh;
    QObject::connect(&history, &HistoryStore::refreshed, &history,
                     [&] { fileAtRefresh = ReadFile("Data2.log"); });

    log.LogData(2);

    EXPECT_EQ(history.frameCaption(2), "Last data received at " + clock.text());
    const HistoryRec& row = history.row(2, 1000);
    EXPECT_EQ(std::tuple(row.DateText, row.TimeText), std::tuple("6 Dec 2026", "14:03:05"));
    EXPECT_EQ(row.Counts, (std::array<float, 6>{0, 0.012f, 513, 12340000, -1, 0}));
    EXPECT_EQ(row.IsoCodes, (std::array<float, 6>{0, 16, -1, 12.5f, 0, 0}));
    EXPECT_EQ(std::tuple(row.LaserCurrent, row.DiodePower, row.Temperature, row.FlowIndex),
              std::tuple(42.0f, 2.46f, -5.0f, 57.0f));
    EXPECT_EQ(std::tuple(row.ErrorState, row.ErrorCode), std::tuple(false, 3));

    EXPECT_EQ(fileAtRefresh, kHeader);  // the grid is written before the file
    EXPECT_EQ(ReadFile("Data2.log"),
              kHeader + "6 Dec 2026;14:03:05;0.012;513;1.234E+07;-1;16;-1;12.5;0;OK;3;42;2.46;-5;"
                        " 57 \r\n");
    EXPECT_EQ(ReadFile("Data1.log"), kHeader);
}

// How the status, flow index and error code texts reach the history and the file.
TEST_F(DataLogTest, StatusFlowIndexAndErrorCodeTextsAreGuarded)
{
    const struct {
        const char* status;
        const char* flow;
        const char* error;
        const char* fields;  // 11, 12 and 16, with the CR of the line end
    } cases[] = {
        {"Fault", "-1", "", "Error;0;-1 \r"},    {"OK", "57", "12", "OK;12; 57 \r"},
        {"Error", "abc", "x7", "OK;0; 0 \r"},    {"DEMO", "", "255", "OK;255; 0 \r"},
        {"fault", "0.5", "-2", "OK;-2; 0.5 \r"}, {"Fault ", "1e6", "2.5", "OK;2; 1000000 \r"},
    };
    for (const auto& c : cases) {
        set(1, {{Item::status, c.status}, {Item::FlowIndex, c.flow}, {Item::lbl_error, c.error}});
        log.LogData(1);
        const QList<QByteArray> lines = ReadFile("Data1.log").split('\n');
        const QList<QByteArray> fields = lines[lines.size() - 2].split(';');
        ASSERT_EQ(fields.size(), 16);
        EXPECT_EQ(fields[10] + ';' + fields[11] + ';' + fields[15], c.fields) << c.status;
        EXPECT_EQ(history.row(1, 10).ErrorState, fields[10] == "Error");
    }
}

// Only with logging on and demonstration mode off is a line written.
TEST_F(DataLogTest, DemoModeAndLoggingOffKeepTheHistoryButWriteNothing)
{
    const struct {
        bool demo;
        bool logging;
        const char* flow;
    } rows[] = {{true, true, "1"}, {false, false, "2"}, {false, true, "3"}};
    for (const auto& row : rows) {
        EXPECT_FALSE(QFile::exists("Data1.log")) << row.flow;
        state.DemoMode = row.demo;
        state.LogEnabled = row.logging;
        set(1, {{Item::FlowIndex, row.flow}});
        log.LogData(1);
    }
    EXPECT_EQ(std::tuple(history.row(1, 8).FlowIndex, history.row(1, 9).FlowIndex,
                         history.row(1, 10).FlowIndex),
              std::tuple(1, 2, 3));
    EXPECT_TRUE(ReadFile("Data1.log").endsWith("; 3 \r\n"));
}

TEST_F(DataLogTest, AFailedAppendLeavesNoHalfLineIsReportedAndTheHistoryGoesOn)
{
    log.LogData(1);
    const QByteArray before = ReadFile("Data1.log");
    {
        FileSizeLimit nearlyFull(before.size() + 20);  // room for part of a line only
        clock.advanceSeconds(1);
        log.LogData(1);
    }
    EXPECT_EQ(ReadFile("Data1.log"), before);
    EXPECT_EQ(history.row(1, 10).TimeText, "14:03:06");
    // The system's reason, as for a full disk.
    EXPECT_EQ(panel.text(CommsControl::lbl_msg, 1),
              "6 Dec 2026 14:03:06 cannot write Data1.log: File too large");

    log.LogData(1);
    EXPECT_EQ(panel.text(CommsControl::lbl_msg, 1),
              "6 Dec 2026 14:03:06 Data1.log is written again");
    EXPECT_EQ(ReadFile("Data1.log").count('\n'), before.count('\n') + 1);
}

TEST_F(DataLogTest, StartUpCreatesMissingFilesWithTheHeaderAndLeavesOthersAlone)
{
    state.NumUnits = 1;
    QFile existing("Data2.log");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("kept\r\n") == 6);
    existing.close();
    CreateMissingLogFiles(state);
    for (int unit : {1, 3, 4}) EXPECT_EQ(ReadFile(QStringLiteral("Data%1.log").arg(unit)), kHeader);
    EXPECT_EQ(ReadFile("Data2.log"), "kept\r\n");

    // A file rotated away or deleted while running comes back with the next record, and one
    // emptied in place (logrotate's copytruncate) gets its header again, each before the line.
    ASSERT_TRUE(QFile::remove("Data1.log"));
    ASSERT_TRUE(QFile::resize("Data2.log", 0));
    for (int unit : {1, 2}) {
        log.LogData(unit);
        log.LogData(unit);
        const QList<QByteArray> lines =
            ReadFile(QStringLiteral("Data%1.log").arg(unit)).split('\n');
        ASSERT_EQ(lines.size(), 4) << unit;
        EXPECT_EQ(lines[0] + '\n', kHeader);
        EXPECT_TRUE(lines[1].startsWith("6 Dec 2026;14:03:05;0.012;"));
        EXPECT_EQ(lines[2], lines[1]);
    }

    // No base name: the bare unit numbers in the working directory.
    state.LogFile.clear();
    CreateMissingLogFiles(state);
    log.LogData(3);
    EXPECT_EQ(ReadFile("1"), kHeader);
    EXPECT_TRUE(ReadFile("3").startsWith(kHeader + "6 Dec 2026;"));

    // A dot in a folder's name is no extension: the number goes at the end of the file name.
    ASSERT_TRUE(QDir().mkdir(".grain"));
    state.LogFile = QStringLiteral(".grain/datalog");
    CreateMissingLogFiles(state);
    log.LogData(2);
    EXPECT_TRUE(ReadFile(".grain/datalog2").startsWith(kHeader + "6 Dec 2026;"));

    state.LogEnabled = false;
    state.LogFile = QStringLiteral("Other.log");
    CreateMissingLogFiles(state);
    EXPECT_FALSE(QFile::exists("Other1.log"));
}

TEST_F(DataLogTest, ACommaDecimalLocaleReadsAndWritesCommas)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    set(1, {{Item::Counts4um, "0,0120"}, {Item::DiodePower, "2,46"}, {Item::FlowIndex, "-0,5"}});
    log.LogData(1);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ReadFile("Data1.log"),
              kHeader +
                  "06.12.26;14:03:05;0,012;513;1,234E+07;-1;16;-1;12,5;0;OK;3;42;2,46;-5;-0,5 \r\n");
    EXPECT_EQ(history.row(1, 10).DiodePower, 2.46f);
}

TEST(NumberText, ShortestGeneralFormWithSevenDigits)
{
    const std::pair<float, const char*> cases[] = {
        {0.012f, "0.012"},       {513, "513"},        {12340000, "1.234E+07"},
        {-2.5f, "-2.5"},         {1234567, "1234567"}, {12345678, "1.234568E+07"},
        {16.1f, "16.1"},         {3.14159265f, "3.141593"}, {0.0001f, "0.0001"},
        {0.00001234f, "1.234E-05"}, {-0.0f, "0"},     {1e20f, "1E+20"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text) << text;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(NumberText(-2.5f), "-2,5");
    EXPECT_EQ(PointNumberText(-2.5f), "-2.5");  // whatever the locale
    EXPECT_EQ(PointNumberText(12345678), "1.234568E+07");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ListPrintText(57), " 57 ");
    EXPECT_EQ(ListPrintText(-1), "-1 ");
    EXPECT_EQ(ListPrintText(-0.0f), " 0 ");
}

}  // namespace
}  // namespace grainlink::test
