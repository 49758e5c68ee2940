#include "server/startup.h"

#include "tests/server/server_core_fixture.h"

namespace grainlink::test {
namespace {

// The configuration loaded from an INI text into a fresh state, as at start-up.
struct StartupLoadingTest : ::testing::Test {
    void load(const QByteArray& ini)
    {
        if (!ini.isNull()) config.setContents(ini);
        state = SharedState();
        box.messages.clear();
        LoadConfiguration(state, config.config, panel, box);
        LoadFlowFactors(config.config, items);
    }
    // The configuration errors shown, each titled with the product and without an icon.
    QString reported() const
    {
        QStringList texts;
        for (const auto& shown : box.messages) {
            EXPECT_EQ(std::pair(shown.title, shown.icon),
                      std::pair(state.ProductName, MessageIcon::None));
            texts << shown.text;
        }
        return texts.join(' ').replace("Error whilst loading configuration data  ", "");
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
    for (int unit = 1; unit <= 4; ++unit)
        EXPECT_EQ(std::tuple(state.UnitEnabled[unit], state.UnitPort[unit], panel.isUnitShown(unit),
                             items[unit].text(Item::txt_flow_factor)),
                  std::tuple(false, unit, unit == 1, "0.00075"));
    EXPECT_EQ(std::tuple(state.NumUnits, state.BufferSize, state.MessageTime,
                         state.LogEnabled || state.RawLogEnabled, state.LoggedIn),
              std::tuple(1, 10, 600, false, true));
    EXPECT_EQ(state.ProductName, "VELMO QS2600 DDE Server");
    EXPECT_EQ(reported(), "");
}

// What one setting (in [Options] unless it names another section) loads as, and which step
// numbers report a value that cannot be converted.
TEST_F(StartupLoadingTest, NumbersAreConvertedLimitedOrReported)
{
    const struct {
        const char* ini;
        int32_t bufferSize;
        int16_t messageTime;
        const char* reported;
    } cases[] = {
        {"Buffer_size=5", 10, 600, ""},        {"Buffer_size=1000", 1000, 600, ""},
        {"Buffer_size=1001", 999, 600, ""},    {"Buffer_size=1500", 999, 600, ""},
        {"Buffer_size=abc", 20, 600, ""},      {"Buffer_size=1.2.3", 20, 600, ""},
        {"Buffer_size=12.5", 12, 600, ""},     {"Buffer_size=13.5", 14, 600, ""},
        {"Buffer_size=+2E+2", 200, 600, ""},   {"Buffer_size=1e12", 20, 600, "(42)"},
        {"Units=7", 10, 600, "(7)"},           {"[Settings]\nMessage time=30", 10, 30, ""},
        {"Units=four", 10, 600, "(7)"},        {"[Settings]\nMessage time=abc", 10, 60, ""},
        {"SecStr=\xE1x\xE2y", 10, 600, "(5) (5)"}, {"[Settings]\nMessage time=1e-", 10, 60, ""},
        {"[Unit2]\nEnable=abc", 10, 600, "(0)"}, {"[Settings]\nMessage time=40000", 10, 60, ""},
        {"Units=4", 10, 600, ""},              {"[Settings]\nMessage time=32767", 10, 32767, ""},
        {"Units=0", 10, 600, "(7)"},
    };
    for (const auto& c : cases) {
        load("[Options]\n" + QByteArray(c.ini));
        EXPECT_EQ(std::tuple(state.BufferSize, state.MessageTime, reported()),
                  std::tuple(c.bufferSize, c.messageTime, c.reported))
            << c.ini;
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
    EXPECT_EQ(reported(), "");
    load("[Options]\nFile=ab\n");
    EXPECT_EQ(state.LogFile, "ab");
}

using ServerStartTest = ServerCoreTest;

TEST_F(ServerStartTest, PreparesEveryHistoryTableInTheCodesViewWithBufferSizeRows)
{
    config.setContents("[Options]\nBuffer_size=25\n");
    core.history().setTableView(3, HistoryView::Counts);
    core.start();
    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_EQ(core.history().configuredRows(unit), 25);
        EXPECT_EQ(core.history().tableView(unit), HistoryView::Codes);
    }
}

// A port number that can never work disables its unit for the run; a device that is only
// missing is reported once and served when it appears, without a restart.
TEST_F(ServerStartTest, ANumberWithoutDeviceIsDisabledAndAMissingDeviceIsServedOnceItAppears)
{
    config.setContents(
        "[Options]\nUnits=3\n[Unit1]\nEnable=1\n[Unit2]\nEnable=1\nPort=7\n[Unit3]\nEnable=1\n");
    fakes[2]->forgetDevice();
    fakes[3]->unplug();

    core.start();
    core.tick().stop();  // the test drives the tick
    ASSERT_EQ(box.messages.size(), 2);
    EXPECT_EQ(box.messages[0].text, "Bad communication port number (7)- port disabled");
    EXPECT_EQ(box.messages[1].text,
              "Communication port 3 cannot be opened now (no such device) - unit 3 will be "
              "served as soon as it can be opened");
    for (const auto& shown : box.messages) EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_FALSE(fakes[1]->isOpen()) << "the test closes what it opened";
    EXPECT_EQ(core.panel().text(CommsControl::frame_comms, 2), "Unit 2 Rx Data (Disabled)  2");

    core.cycle().Tick();
    EXPECT_EQ(notice.shown, 0) << "reported once, at start-up";
    EXPECT_TRUE(fakes[1]->isOpen());
    EXPECT_EQ(fakes[2]->openCount(), 1) << "a disabled unit is not tried again";
    EXPECT_EQ(core.panel().text(CommsControl::lbl_msg, 3),
              clock.text() + " port unavailable, retrying");
    EXPECT_EQ(core.items()[3].text(Item::status), "Error");
    fakes[3]->plugIn();
    for (int i = 0; i < AcquisitionCycle::kReopenInterval; ++i) core.cycle().Tick();
    EXPECT_EQ(core.panel().text(CommsControl::lbl_msg, 3), clock.text() + " waiting for data");
}

}  // namespace
}  // namespace grainlink::test
