#include "config/flow_factor.h"
#include "config/password.h"
#include "config/serial_devices.h"
#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

TEST(PasswordTest, StoredCodesAreThePlainOnesPlus128)
{
    EXPECT_EQ(EncodePassword("abc"), QByteArray("\xE1\xE2\xE3"));
    EXPECT_EQ(EncodePassword("ab\xE9"), std::nullopt);  // no stored form
    const DecodedPassword damaged = DecodePassword("\xE1x\xE2\xE3y");
    EXPECT_EQ(std::tuple(damaged.plain, damaged.undecodable), std::tuple(QByteArray("abc"), 2));
}

TEST(StoredValueTest, FlowFactorAndPortDevicePath)
{
    TempConfig ini;
    ini.setContents("[serial]\nport3 = /dev/ttyUSB0\nPort11=/dev/ttyUSB1\n");
    const std::pair<int16_t, const char*> ports[] = {
        {1, "/dev/ttyS0"}, {3, "/dev/ttyUSB0"}, {10, "/dev/ttyS9"}, {0, ""}, {11, ""}};
    for (const auto& [port, path] : ports)
        EXPECT_EQ(PortDevicePath(ini.config, port), path) << port;

    // The first three characters must be numeric (blanks around them allowed); the text is cut
    // to nine.
    const char* const factors[][2] = {
        {"0.00075abc", "0.00075ab"}, {"1e-3", "0.00075"}, {"0.5x", "0.5x"}, {"12 x", "12 x"}};
    for (const auto& f : factors) {
        ASSERT_TRUE(WriteFlowFactor(ini.config, 2, QString::fromLatin1(f[0])));
        EXPECT_EQ(ReadFlowFactor(ini.config, 2), f[1]) << f[0];
    }
}

}  // namespace
}  // namespace grainlink::test
