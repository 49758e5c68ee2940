#include "server/startup.h"

#include "server/server_core.h"
#include "tests/config/temp_config.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"

#include <QDir>

namespace grainlink::test {
namespace {

struct StartupLoadingTest : ::testing::Test {
    void load(const QByteArray& ini)
    {
        if (!ini.isNull()) config.setContents(ini);
        state = SharedState();  // as at start-up
        box.messages.clear();
        LoadConfiguration(state, config.config, panel, box);
        LoadFlowFactors(config.config, items);
    }

    // The step numbers of the configuration errors shown; each must carry the title, no icon.
    std::vector<int> reportedSteps() const
    {
        std::vector<int> steps;
        for (const auto& shown : box.messages) {
            EXPECT_EQ(std::tuple(shown.title, shown.icon),
                      std::tuple(state.ProductName, MessageIcon::None));
            const QString step = shown.text.section(u'(', 1).remove(u')');
            EXPECT_EQ(shown.text, "Error whilst loading configuration data  (" + step + ")");
            steps.push_back(step.toInt());
        }
        return steps;
    }

    TempConfig config;
    SharedState state;
    CommsPanel panel;
    RecordingMessageBox box;
    ItemTables items;
};

TEST_F(StartupLoadingTest, NoFileAtAllGivesEveryDefault)
{
    load({});
    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_FALSE(state.UnitEnabled[unit]);
        EXPECT_EQ(state.UnitPort[unit], unit);
        EXPECT_EQ(items[unit].text(Item::txt_flow_factor), "0.00075");
        EXPECT_EQ(panel.isUnitShown(unit), unit == 1);
    }
    EXPECT_EQ(panel.text(CommsControl::frame_comms, 4), "Unit 4 Rx Data (Disabled)  4");
    EXPECT_EQ(std::tuple(state.NumUnits, state.BufferSize, state.MessageTime),
              std::tuple(1, 10, 600));
    EXPECT_FALSE(state.LogEnabled || state.RawLogEnabled);
    EXPECT_EQ(std::tuple(state.SecurityEnabled, state.LoggedIn, state.AccessLevel),
              std::tuple(0, true, 1));
    EXPECT_EQ(state.ProductName, "VELMO QS2600 DDE Server");
    EXPECT_EQ(state.HardwareName, "QS2600");
    EXPECT_TRUE(box.messages.empty());
}

// What one setting (in [Options] unless it names another section) loads as, and which step
// numbers report a value that cannot be converted.
TEST_F(StartupLoadingTest, NumbersAreConvertedLimitedOrReported)
{
    const struct {
        const char* ini;
        int32_t bufferSize;
        int16_t messageTime;
        std::vector<int> steps;
    } cases[] = {
        {"Buffer_size=5", 10, 600, {}},        {"Buffer_size=1000", 1000, 600, {}},
        {"Buffer_size=1001", 999, 600, {}},    {"Buffer_size=1500", 999, 600, {}},
        {"Buffer_size=abc", 20, 600, {}},      {"Buffer_size=1.2.3", 20, 600, {}},
        {"Buffer_size=12.5", 12, 600, {}},     {"Buffer_size=13.5", 14, 600, {}},
        {"Buffer_size=+2E+2", 200, 600, {}},   {"Buffer_size=1e12", 20, 600, {42}},
        {"Units=7", 10, 600, {7}},             {"[Settings]\nMessage time=30", 10, 30, {}},
        {"Units=four", 10, 600, {7}},          {"[Settings]\nMessage time=abc", 10, 60, {}},
        {"SecStr=\xE1x\xE2y", 10, 600, {5, 5}}, {"[Settings]\nMessage time=1e-", 10, 60, {}},
        {"[Unit2]\nEnable=abc", 10, 600, {0}}, {"[Settings]\nMessage time=40000", 10, 60, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        load("[Options]\n" + QByteArray(c.ini));
        EXPECT_EQ(state.BufferSize, c.bufferSize);
        EXPECT_EQ(state.MessageTime, c.messageTime);
        EXPECT_EQ(reportedSteps(), c.steps);
    }
}

TEST_F(StartupLoadingTest, NamesAreReadWhateverTheirCaseAndShapeThePanel)
{
    load("[options]\nunits=2\nRawLog=1\nLog=2\nFile=x\nSecEna=1\nSecStr=\xE1\xE2\xE3\n"
         "FlowFactor2=0.5x\n[UNIT2]\nenable=1\nPort=7\nName=Linie \xC3\xA4\n"
         "[Product_Info]\nProduct_Name=  Product name cut after blank    here\n");
    EXPECT_TRUE(state.RawLogEnabled && state.LogEnabled);
    EXPECT_EQ(state.LogFile, "");  // one character is not taken as a file name
    EXPECT_EQ(std::tuple(state.SecurityEnabled, state.LoggedIn, state.AccessLevel),
              std::tuple(1, false, 0));
    EXPECT_EQ(state.Password, "abc");
    EXPECT_EQ(items[2].text(Item::txt_flow_factor), "0.5x");
    EXPECT_EQ(state.UnitPort[2], 7);
    EXPECT_EQ(state.ProductName, "Product name cut after blank");  // 29 bytes, trimmed
    EXPECT_EQ(panel.text(CommsControl::frame_comms, 2),
              QString::fromUtf8("Unit 2 Rx Data (Enabled)  Linie \xC3\xA4"));
    for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(panel.isUnitShown(unit), unit <= 2) << unit;
    EXPECT_TRUE(reportedSteps().empty());

    load("[Options]\nFile=ab\n");
    EXPECT_EQ(state.LogFile, "ab");
}

struct NoDde final : DdeSource {
    void setItem(const QString&, const QString&, const QString&) override {}
};

// The whole start-up of the server core, from a scratch working directory.
TEST(ServerStartTest, PreparesEveryHistoryTableAndCreatesTheMissingLogFiles)
{
    TempConfig config;
    config.setContents("[Options]\nLog=1\nFile=Data.log\nBuffer_size=25\n");
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(config.dir.path());
    QFile existing("Data3.log");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("kept\r\n") == 6);
    existing.close();

    NoDde dde;
    RecordingMessageBox box;
    CountingNotice notice;
    FakeClock clock;
    ServerCore core({config.profile, dde, box, notice, clock,
                     [](int) { return std::make_unique<FakeSerialPort>(); }});
    HistoryStore& history = core.history();
    HistoryRec before;
    before.TimeText = QStringLiteral("before");
    for (int unit = 1; unit <= 4; ++unit) {
        history.setTableView(unit, HistoryView::Counts);
        history.setTimeColumnSized(unit, true);
        history.store(unit, 30, before);
        history.store(unit, 25, before);
    }
    QStringList seen;
    QObject::connect(&history, &HistoryStore::viewConfigured, &history,
                     [&](int unit) { seen << QStringLiteral("configured %1").arg(unit); });
    QObject::connect(&history, &HistoryStore::refreshed, &history,
                     [&](int unit) { seen << QStringLiteral("refreshed %1").arg(unit); });

    core.start();
    core.shutdown();
    QDir::setCurrent(previousDir);

    EXPECT_EQ(seen, QStringList({"configured 1", "configured 2", "configured 3",
                                    "configured 4", "refreshed 1", "refreshed 2", "refreshed 3",
                                    "refreshed 4"}));
    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_EQ(history.configuredRows(unit), 25);
        EXPECT_EQ(history.tableView(unit), HistoryView::Codes);
        EXPECT_FALSE(history.timeColumnSized(unit));
        EXPECT_EQ(history.row(unit, 25).TimeText, "");        // emptied up to BufferSize
        EXPECT_EQ(history.row(unit, 30).TimeText, "before");  // and no further
    }
    for (int unit : {1, 2, 4}) {
        QFile log(config.dir.filePath(QStringLiteral("Data%1.log").arg(unit)));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << unit;
        EXPECT_TRUE(log.readAll().startsWith("Date;Time;4\xB5m counts/mL;"));
    }
    QFile kept(config.dir.filePath("Data3.log"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "kept\r\n");
}

}  // namespace
}  // namespace grainlink::test
