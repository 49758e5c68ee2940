#include "server/startup.h"

#include "config/password.h"
#include "tests/config/temp_config.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

class StartupLoadingTest : public ::testing::Test {
protected:
    void load(const QByteArray& ini = {})
    {
        if (!ini.isNull()) config.setContents(ini);
        LoadConfiguration(state, config.config(), panel, box);
        LoadFlowFactors(config.config(), items);
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const auto& shown : box.messages) {
            EXPECT_EQ(shown.title, state.ProductName);
            EXPECT_EQ(shown.icon, MessageIcon::None);
            texts << shown.text;
        }
        return texts;
    }

    static QString configError(int step)
    {
        return QStringLiteral("Error whilst loading configuration data  (%1)").arg(step);
    }

    TempConfig config;
    SharedState state;
    CommsPanel panel;
    RecordingMessageBox box;
    ItemTables items;
};

TEST_F(StartupLoadingTest, NoFileAtAllGivesEveryDefault)
{
    load();

    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_FALSE(state.UnitEnabled[unit]);
        EXPECT_EQ(state.UnitPort[unit], unit);
        EXPECT_EQ(state.UnitName[unit], QString::number(unit));
        EXPECT_EQ(items[unit].text(Item::txt_flow_factor), "0.00075");
        EXPECT_EQ(panel.isUnitShown(unit), unit == 1);
    }
    EXPECT_EQ(panel.text(CommsControl::frame_comms, 1), "Unit 1 Rx Data (Disabled)  1");
    EXPECT_EQ(state.NumUnits, 1);
    EXPECT_EQ(state.BufferSize, 10);
    EXPECT_EQ(state.MessageTime, 600);
    EXPECT_FALSE(state.LogEnabled);
    EXPECT_FALSE(state.RawLogEnabled);
    EXPECT_EQ(state.LogFile, "");
    EXPECT_EQ(state.SecurityEnabled, 0);
    EXPECT_TRUE(state.LoggedIn);
    EXPECT_EQ(state.AccessLevel, 1);
    EXPECT_EQ(state.ProductName, "VELMO QS2600 DDE Server");
    EXPECT_EQ(state.HardwareName, "QS2600");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(StartupLoadingTest, BufferSizeIsPresetConvertedAndLimited)
{
    const struct {
        const char* stored;
        int32_t loaded;
        bool reported;
    } cases[] = {
        {"5", 10, false},    {"1000", 1000, false},  {"1001", 999, false},
        {"1500", 999, false}, {"abc", 20, false},    {"", 20, false},
        {"12.5", 12, false},  {"13.5", 14, false},   {"1e12", 20, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        box.messages.clear();
        load("[Options]\nBuffer_size=" + QByteArray(c.stored) + "\n");
        EXPECT_EQ(state.BufferSize, c.loaded);
        EXPECT_EQ(messages(), c.reported ? QStringList{configError(42)} : QStringList{});
    }
}

TEST_F(StartupLoadingTest, MessageTimeFallsBackTo60WhenNotAUsableNumber)
{
    const struct {
        const char* stored;
        int16_t loaded;
    } cases[] = {{"30", 30}, {"abc", 60}, {"", 60}, {"40000", 60}};
    for (const auto& c : cases) {
        load("[Settings]\nMessage time=" + QByteArray(c.stored) + "\n");
        EXPECT_EQ(state.MessageTime, c.loaded) << c.stored;
    }
    EXPECT_TRUE(messages().isEmpty());

    state.PortsReady = true;
    state.MessageTime = 5;
    EXPECT_FALSE(ReadMessageTime(state, config.config()));
    EXPECT_EQ(state.MessageTime, 5);
}

TEST_F(StartupLoadingTest, OptionsAndUnitsAreReadWhateverTheCase)
{
    load(
        "[options]\nunits=2\nRawLog=1\nLog=abc\nFile=x\n"
        "[UNIT2]\nenable=1\nPort=7\nName=Linie \xC3\xA4\n"
        "[Unit3]\nName=" + QByteArray(78, 'n') + "\xC3\xA4\n"
        "[Product_Info]\nProduct_Name=  Product name cut after blank    here\n"
        "Hardware_Name=\n");

    EXPECT_EQ(state.NumUnits, 2);
    EXPECT_TRUE(panel.isUnitShown(2));
    EXPECT_FALSE(panel.isUnitShown(3));
    EXPECT_FALSE(panel.isUnitShown(4));
    EXPECT_TRUE(state.RawLogEnabled);
    EXPECT_FALSE(state.LogEnabled);
    EXPECT_EQ(state.LogFile, "");
    EXPECT_TRUE(state.UnitEnabled[2]);
    EXPECT_EQ(state.UnitPort[2], 7);
    EXPECT_EQ(panel.text(CommsControl::frame_comms, 2),
              QString::fromUtf8("Unit 2 Rx Data (Enabled)  Linie \xC3\xA4"));
    EXPECT_EQ(state.UnitName[3], QString(78, u'n'));  // the cut second byte drops the character
    EXPECT_EQ(state.ProductName, "Product name cut after blank");  // 29 bytes, trimmed
    EXPECT_EQ(state.HardwareName, "QS2600");
    EXPECT_TRUE(messages().isEmpty());

    load("[Options]\nFile=ab\n");
    EXPECT_EQ(state.LogFile, "ab");
}

TEST_F(StartupLoadingTest, ConversionFailuresAreReportedWithTheirStepAndLoadingGoesOn)
{
    load("[Unit2]\nEnable=abc\nPort=99999\n[Options]\nUnits=four\nBuffer_size=50\n");

    EXPECT_EQ(messages(), QStringList({configError(0), configError(0), configError(7)}));
    EXPECT_FALSE(state.UnitEnabled[2]);
    EXPECT_EQ(state.UnitPort[2], 0);
    EXPECT_EQ(state.NumUnits, 0);
    EXPECT_EQ(state.BufferSize, 50);
    EXPECT_EQ(panel.text(CommsControl::frame_comms, 4), "Unit 4 Rx Data (Disabled)  4");
    EXPECT_FALSE(panel.isUnitShown(1));
}

TEST_F(StartupLoadingTest, UnitCountOutsideOneToFourIsReportedByThePanelRefresh)
{
    load("[Options]\nUnits=7\n");
    EXPECT_EQ(state.NumUnits, 7);
    EXPECT_EQ(messages(), QStringList{configError(7)});
    EXPECT_TRUE(panel.isUnitShown(4));
}

TEST_F(StartupLoadingTest, SecurityOnLeavesEveryoneLoggedOutAndSkipsUndecodableCharacters)
{
    load("[Options]\nSecEna=1\nBuffer_size=1500\nSecStr=\xE1x\xE2y\xE3\n");
    EXPECT_EQ(state.SecurityEnabled, 1);
    EXPECT_FALSE(state.LoggedIn);
    EXPECT_EQ(state.AccessLevel, 0);
    EXPECT_EQ(state.Password, "abc");
    EXPECT_EQ(state.BufferSize, 999);
    EXPECT_EQ(messages(), QStringList({configError(5), configError(5)}));

    box.messages.clear();
    ASSERT_TRUE(config.config().WriteSetting("Options", "SecStr", *EncodePassword("pw")));
    ASSERT_TRUE(config.config().WriteSetting("Options", "SecEna", "abc"));
    load();
    EXPECT_EQ(state.Password, "pw");
    EXPECT_EQ(messages(), QStringList{configError(5)});
}

}  // namespace
}  // namespace grainlink::test
