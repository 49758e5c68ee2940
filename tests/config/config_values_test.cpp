#include "config/flow_factor.h"
#include "config/numeric_text.h"
#include "config/password.h"
#include "config/serial_devices.h"
#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

TEST(PasswordTest, ScramblesIntoTheUpperHalfAndBack)
{
    EXPECT_EQ(EncodePassword("abc"), QByteArray("\xE1\xE2\xE3"));
    EXPECT_EQ(DecodePassword("\xE1\xE2\xE3").plain, "abc");
    EXPECT_EQ(EncodePassword(""), QByteArray(""));
    EXPECT_EQ(DecodePassword("").plain, "");

    // A stored code below 128 has no plain form: it is counted and left out.
    const DecodedPassword damaged = DecodePassword("\xE1x\xE2y");
    EXPECT_EQ(damaged.plain, "ab");
    EXPECT_EQ(damaged.undecodable, 2);

    // A plain code of 128 or more has no stored form.
    EXPECT_EQ(EncodePassword("ab\xE9"), std::nullopt);
}

class StoredValueTest : public ::testing::Test {
protected:
    TempConfig ini;
};

TEST_F(StoredValueTest, FlowFactorAcceptsTextWhoseFirstThreeCharactersAreNumeric)
{
    EXPECT_EQ(ReadFlowFactor(ini.config(), 1), "0.00075");

    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"0.00075abc", "0.00075ab"}, {"1e-3", "0.00075"}, {"0.5x", "0.5x"},
        {"abc", "0.00075"},          {"", "0.00075"},     {"12", "12"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ini.config().WriteSetting("Options", "FlowFactor2", c.stored));
        EXPECT_EQ(ReadFlowFactor(ini.config(), 2), c.shown) << c.stored;
    }
    ASSERT_TRUE(WriteFlowFactor(ini.config(), 3, QStringLiteral("0.0009")));
    EXPECT_EQ(ini.config().ReadSetting("options", "flowfactor3", "", 10), "0.0009");
}

TEST_F(StoredValueTest, PortDevicePathComesFromSerialSectionOrTheStandardDevice)
{
    ini.setContents("[serial]\nport3 = /dev/ttyUSB0\nPort11=/dev/ttyUSB1\n");
    EXPECT_EQ(PortDevicePath(ini.config(), 1), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath(ini.config(), 3), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath(ini.config(), 10), "/dev/ttyS9");
    EXPECT_EQ(PortDevicePath(ini.config(), 0), "");
    EXPECT_EQ(PortDevicePath(ini.config(), 11), "");
    EXPECT_EQ(PortDevicePath(ini.config(), -1), "");
}

TEST(NumericTextTest, WholeTextMustReadAsADecimalNumber)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {" -1.5 ", -1.5}, {"+.5", 0.5},          {"1.", 1},          {"2E+2", 200},
        {"", std::nullopt}, {".", std::nullopt}, {"1e-", std::nullopt}, {"0.5x", std::nullopt},
        {"1.2.3", std::nullopt}, {"1 2", std::nullopt}, {"1e999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumericValue(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_EQ(IsNumeric(QString::fromLatin1(c.text)), c.value.has_value()) << c.text;
    }
}

}  // namespace
}  // namespace grainlink::test
