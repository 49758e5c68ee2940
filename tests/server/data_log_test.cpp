#include "server/data_log.h"

#include "acquisition/side_file_report.h"
#include "server/number_text.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

const QByteArray kHeader =
    "Date;Time;4\xB5m counts/mL;6\xB5m counts/mL;14\xB5m counts/mL;21\xB5m counts/mL;"
    "4\xB5m ISO code;6\xB5m ISO code;14\xB5m ISO code;21\xB5m ISO code;Error state;Error code;"
    "Laser current;Diode power;Temperature \xB0"
    "C;Flow Index\r\n";

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Collects what goes to standard error through qWarning while alive.
class WarningCapture {
public:
    WarningCapture() { s_lines = &lines; m_previous = qInstallMessageHandler(&Handle); }
    ~WarningCapture()
    {
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
    }
    QStringList lines;

private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        // Only the unit reports: Qt may warn about its own environment at any moment.
        if (type == QtWarningMsg && s_lines && text.startsWith(QLatin1String("Unit ")))
            *s_lines << text;
    }
    static inline QStringList* s_lines = nullptr;
    QtMessageHandler m_previous = nullptr;
};

// A unit whose item texts the test sets, logging to Data<n>.log in a scratch directory.
class DataLogTest : public ::testing::Test {
protected:
    DataLogTest()
    {
        QDir::setCurrent(m_scratch.path());
        state.BufferSize = 10;
        state.LogEnabled = true;
        state.LogFile = QStringLiteral("Data.log");
    }
    ~DataLogTest() override { QDir::setCurrent(m_previousDir); }

    void set(std::initializer_list<std::pair<Item, const char*>> texts, int unit = 1)
    {
        for (const auto& [item, text] : texts) items[unit].setText(item, QString::fromUtf8(text));
    }
    // A typical record: every value a number, status "OK".
    void setTypicalRecord(int unit = 1)
    {
        set({{Item::Counts4um, "0.0120"}, {Item::Counts6um, "513"},
             {Item::Counts14um, "12340000"}, {Item::Counts21um, "-1"},
             {Item::ISOCode4um, "16.0"}, {Item::ISOCode6um, "-1"}, {Item::ISOCode14um, "12.5"},
             {Item::ISOCode21um, "0.0"}, {Item::LaserCurrent, "42"}, {Item::DiodePower, "2.46"},
             {Item::Temperature, "-5"}, {Item::FlowIndex, "57"}, {Item::status, "OK"},
             {Item::lbl_error, "3"}},
            unit);
    }
    // The fields of the last line of unit's log file.
    QList<QByteArray> lastFields(int unit = 1) const
    {
        const QByteArray text = ReadFile(QStringLiteral("Data%1.log").arg(unit));
        QList<QByteArray> lines = text.split('\n');
        return lines.size() < 2 ? QList<QByteArray>() : lines[lines.size() - 2].split(';');
    }

    SharedState state;
    ItemTables items;
    HistoryStore history;
    FakeClock clock;
    CommsPanel panel;
    DataLog log{state, items, history, clock, MessageLineReporter(panel, clock)};

private:
    QTemporaryDir m_scratch;
    QString m_previousDir = QDir::currentPath();
};

TEST_F(DataLogTest, ARecordIsStampedStoredRefreshedThenLoggedFieldByField)
{
    CreateMissingLogFiles(state);
    setTypicalRecord(2);
    QByteArray fileAtRefresh;
    QObject::connect(&history, &HistoryStore::refreshed, &history,
                     [&] { fileAtRefresh = ReadFile("Data2.log"); });

    log.LogData(2);

    EXPECT_EQ(history.frameCaption(2), "Last data received at " + clock.text());
    EXPECT_EQ(history.frameCaption(1), HistoryStore::kDesignFrameCaption);
    const HistoryRec& row = history.row(2, 10);
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
        const char* state;  // field 11
        const char* code;   // field 12
        const char* last;   // field 16 with the CR of the line end
    } cases[] = {
        {"Fault", "-1", "", "Error", "0", "-1 \r"},      {"OK", "57", "12", "OK", "12", " 57 \r"},
        {"Error", "abc", "x7", "OK", "0", " 0 \r"},      {"DEMO", "", "255", "OK", "255", " 0 \r"},
        {"fault", "0.5", "-2", "OK", "-2", " 0.5 \r"},   {"Fault ", "1e6", "2.5", "OK", "2", " 1000000 \r"},
    };
    setTypicalRecord();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status + std::string("|") + c.flow + "|" + c.error);
        set({{Item::status, c.status}, {Item::FlowIndex, c.flow}, {Item::lbl_error, c.error}});
        log.LogData(1);
        const QList<QByteArray> fields = lastFields();
        ASSERT_EQ(fields.size(), 16);
        EXPECT_EQ(fields[10], c.state);
        EXPECT_EQ(fields[11], c.code);
        EXPECT_EQ(fields[15], c.last);
        EXPECT_EQ(history.row(1, 10).ErrorState, QByteArray(c.state) == "Error");
    }
}

TEST_F(DataLogTest, DemoModeAndLoggingOffKeepTheHistoryButWriteNothing)
{
    for (const auto& [demo, logging] : {std::pair(true, true), std::pair(false, false)}) {
        state.DemoMode = demo;
        state.LogEnabled = logging;
        setTypicalRecord();
        set({{Item::FlowIndex, demo ? "1" : "2"}});
        QSignalSpy refreshed(&history, &HistoryStore::refreshed);
        log.LogData(1);
        EXPECT_EQ(refreshed.size(), 1);
        EXPECT_EQ(history.row(1, 10).FlowIndex, demo ? 1 : 2);
    }
    EXPECT_EQ(history.row(1, 9).FlowIndex, 1);
    EXPECT_FALSE(QFile::exists("Data1.log"));
}

TEST_F(DataLogTest, AFailedAppendLeavesNoHalfLineIsReportedOnceAndAgainOnRecovery)
{
    CreateMissingLogFiles(state);
    setTypicalRecord();
    log.LogData(1);
    const QByteArray before = ReadFile("Data1.log");
    WarningCapture warnings;
    {
        FileSizeLimit nearlyFull(before.size() + 20);  // room for part of a line only
        log.LogData(1);
        clock.advanceSeconds(1);
        log.LogData(1);
    }
    EXPECT_EQ(ReadFile("Data1.log"), before);
    EXPECT_EQ(history.row(1, 8).TimeText, "14:03:05");  // the history went on
    EXPECT_EQ(history.row(1, 10).TimeText, "14:03:06");
    ASSERT_EQ(warnings.lines.size(), 1);
    const QString message = panel.text(CommsControl::lbl_msg, 1);
    EXPECT_TRUE(message.startsWith("6 Dec 2026 14:03:05 cannot write Data1.log: "))
        << message.toStdString();
    EXPECT_TRUE(warnings.lines[0].startsWith("Unit 1: cannot write Data1.log: "));

    log.LogData(1);
    EXPECT_EQ(ReadFile("Data1.log").size(), 2 * before.size() - kHeader.size());
    EXPECT_EQ(panel.text(CommsControl::lbl_msg, 1), "6 Dec 2026 14:03:06 Data1.log is written again");
    EXPECT_EQ(warnings.lines.size(), 2);
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

    // A file deleted while running comes back with the next record, without the header.
    ASSERT_TRUE(QFile::remove("Data1.log"));
    setTypicalRecord();
    log.LogData(1);
    EXPECT_TRUE(ReadFile("Data1.log").startsWith("6 Dec 2026;14:03:05;0.012;"));

    // No base name: the bare unit numbers in the working directory.
    state.LogFile.clear();
    CreateMissingLogFiles(state);
    log.LogData(3);
    EXPECT_EQ(ReadFile("1"), kHeader);
    EXPECT_TRUE(ReadFile("3").startsWith(kHeader + "6 Dec 2026;"));

    state.LogEnabled = false;
    state.LogFile = QStringLiteral("Other.log");
    CreateMissingLogFiles(state);
    EXPECT_FALSE(QFile::exists("Other1.log"));
}

TEST_F(DataLogTest, ACommaDecimalLocaleReadsAndWritesCommas)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    setTypicalRecord();
    set({{Item::Counts4um, "0,0120"}, {Item::DiodePower, "2,46"}, {Item::FlowIndex, "-0,5"}});
    log.LogData(1);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ReadFile("Data1.log"),
              "06.12.26;14:03:05;0,012;513;1,234E+07;-1;16;-1;12,5;0;OK;3;42;2,46;-5;-0,5 \r\n");
    EXPECT_EQ(history.row(1, 10).DiodePower, 2.46f);
}

TEST(NumberText, ShortestGeneralFormWithSevenDigits)
{
    const std::pair<float, const char*> cases[] = {
        {0.012f, "0.012"},        {513, "513"},          {12340000, "1.234E+07"},
        {-2.5f, "-2.5"},          {1234567, "1234567"},  {12345678, "1.234568E+07"},
        {16.1f, "16.1"},          {3.14159265f, "3.141593"}, {0.0001f, "0.0001"},
        {0.00001234f, "1.234E-05"}, {0, "0"},            {-0.0f, "0"},
        {2.46f, "2.46"},          {1e20f, "1E+20"},      {-1234.5f, "-1234.5"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text) << text;
    EXPECT_EQ(ListPrintText(57), " 57 ");
    EXPECT_EQ(ListPrintText(-1), "-1 ");
    EXPECT_EQ(ListPrintText(-0.0f), " 0 ");
}

}  // namespace
}  // namespace grainlink::test
