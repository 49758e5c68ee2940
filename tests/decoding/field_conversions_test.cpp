#include "acquisition/field_conversions.h"
#include "acquisition/locate.h"

#include <gtest/gtest.h>

namespace grainlink {
namespace {

TEST(Locate, FirstExaminedOccurrenceWinsAndShortFieldsKeepWhatIsThere)
{
    EXPECT_EQ(Locate("A1", ";A10001A1FFFF\r\n", 4), "0001");
    EXPECT_EQ(Locate("A1", ";B1A112\r\n", 4), "12\r\n");
    EXPECT_EQ(Locate("A1", ";A11", 4), "0");  // the last two start positions are never examined
    EXPECT_EQ(Locate("A1", ";A111", 4), "11");
    EXPECT_EQ(Locate("C5", ";A10001\r\n", 3), "0");
    EXPECT_EQ(Locate("A1", "", 4), "0");
}

TEST(CountsText, ScalesByTheRangeOfTheIsoCode)
{
    EXPECT_EQ(CountsText(10.0f, "01F4"), "0.5000");
    EXPECT_EQ(CountsText(10.9f, "0001"), "0.0010");
    EXPECT_EQ(CountsText(11.0f, "01F4"), "500");
    EXPECT_EQ(CountsText(23.6f, "0003"), "3");
    EXPECT_EQ(CountsText(23.7f, "0003"), "3000");
}

TEST(SignMagnitude, HighBitIsTheSign)
{
    EXPECT_EQ(SignMagnitude(0x80), 0);
    EXPECT_EQ(SignMagnitude(0xFF), -127);
    EXPECT_EQ(SignMagnitude(0x85), -5);
    EXPECT_EQ(SignMagnitude(0x7F), 127);
}

struct FlowCase {
    double sampleTime, duty, events;
    const char* factor;
    std::optional<int32_t> index;
};

TEST(FlowIndex, RoundsEachStepHalfToEvenAndReportsOverflow)
{
    const FlowCase cases[] = {
        {60, 50, 1200, "0.00075", 0},  // 1200 -> 24 -> 0.018
        {60, 50, 1200, "abc", 24},
        {60, 50, 1200, "0", 24},
        {60, 50, 1200, "1e-50", 24},  // zero in single precision
        {0, 50, 1200, "1", 0},
        {60, 0, 1200, "1", 0},
        {120, 1, 5, "", 2},  // events per minute 2.5
        {120, 1, 7, "", 4},  // 3.5
        {60, 2, 5, "", 2},   // per duty 2.5
        {60, 2, 7, "", 4},   // 3.5
        {60, 1, 5, "0.5", 2},
        {60, 1, 7, "0.5", 4},
        {60, 1, 25, "0.1", 3},  // single-precision 0.1 is slightly above it
        {60, 0.000001, 2500, "", std::nullopt},
        {60, 1, 1200, "1e30", std::nullopt},
        {60, 1, 0, "1e300", std::nullopt},  // beyond single precision
    };
    for (const FlowCase& c : cases)
        EXPECT_EQ(FlowIndex(c.sampleTime, c.duty, c.events, c.factor), c.index)
            << c.sampleTime << " " << c.duty << " " << c.events << " " << c.factor;
}

}  // namespace
}  // namespace grainlink
