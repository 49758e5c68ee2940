#include "acquisition/field_conversions.h"
#include "acquisition/locate.h"
#include "acquisition/record_decoder.h"
#include "tests/decoding/item_log.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

// Where a field is read, and how a count is scaled by the range of its ISO code (the decoder's
// tests below show the common cases).
TEST(FieldConversions, LocateCountsAndSignFollowTheirRulesAtTheirLimits)
{
    EXPECT_EQ(Locate("A1", ";A11", 4), "0");  // the last two start positions are never examined
    EXPECT_EQ(Locate("A1", ";A111", 4), "11");
    EXPECT_EQ(CountsText(11.0f, "01F4"), "500");
    EXPECT_EQ(CountsText(23.7f, "0003"), "3000");
    EXPECT_EQ(SignMagnitude(0x80), 0);  // the high bit is the sign
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
        {60, 50, 1200, "abc", 24},   {60, 50, 1200, "1e-50", 24},  // not a number; 0 as a float
        {0, 50, 1200, "1", 0},       {60, 0, 1200, "1", 0},        // no sample time or duty
        {120, 1, 5, "", 2},          {120, 1, 7, "", 4},           // events per minute 2.5, 3.5
        {60, 2, 5, "", 2},           {60, 2, 7, "", 4},            // per duty 2.5, 3.5
        {60, 1, 5, "0.5", 2},        {60, 1, 7, "0.5", 4},         // scaled 2.5, 3.5
        {60, 1, 25, "0.1", 3},  // single-precision 0.1 is slightly above it
        {60, 1, 1200, "1e30", std::nullopt}, {60, 1, 0, "1e300", std::nullopt},  // 1e300: no float
    };
    for (const FlowCase& c : cases)
        EXPECT_EQ(FlowIndex(c.sampleTime, c.duty, c.events, c.factor), c.index)
            << c.sampleTime << " " << c.duty << " " << c.events << " " << c.factor;
}

class RecordDecoderTest : public ::testing::Test {
protected:
    void Decode(const QByteArray& record, int unit = 1)
    {
        written.clear();
        state.UnitData[unit].RxBuffer = record;
        decoder.DecodeRecord(unit);
    }
    QString Text(Item item) const { return items[1].text(item); }

    SharedState state;
    ItemTables items;
    ItemLog log{items[1]};
    QStringList& written = log.changes;  // unit 1's changes
    std::vector<int> logged;
    RecordDecoder decoder{state, items, [this](int unit) { logged.push_back(unit); }};
};

TEST_F(RecordDecoderTest, FullRecordIsWrittenInScreenOrderToItsOwnUnitThenLogged)
{
    items[1].setText(Item::txt_flow_factor, "0.5");
    Decode(";A10001;A205;A30102;A412;B100F4240;B2FFFFFFF;B30000000;B42FAF080;B50004B0;B6000010;"
           "B703C;C50A5;C101F4;C6064;C201F4;C70EC;C30003;C80FA;C40003;D164;D2190;D385;D4C3\r\n");
    EXPECT_EQ(written.join(' '),
              "SystemID=1 NodeID=5 SerialNo=258 Firmware=12 Chan1Duty=01.000000 "
              "Chan2Duty=268.435455 Chan3Duty=00.000000 Chan4Duty=50.000000 Chan1Event=1200 "
              "Chan4Event=16 SampleTime=60 ISOCode4um=16.5 Counts4um=500 ISOCode6um=10.0 "
              "Counts6um=0.5000 ISOCode14um=23.6 Counts14um=3 ISOCode21um=25.0 Counts21um=3000 "
              "LaserCurrent=100 DiodePower=4.00 Temperature=-5 lbl_error=195 LaserLow=1 "
              "LaserLow#255 LaserHigh=1 LaserHigh#255 Flow=1 Flow#255 Concentration=1 "
              "Concentration#255 status=Fault status#255 FlowIndex=600");

    Decode(";A10009;B703C;B50009C4;B10000001\r\n");  // 2500 per minute / 0.000001
    EXPECT_EQ(Text(Item::FlowIndex), "-1");           // too large, and the record is still kept
    Decode(";A10002\r\n", 2);
    EXPECT_EQ(items[2].text(Item::SystemID), "2");
    EXPECT_TRUE(written.isEmpty()) << "a record goes to the items of its own unit";
    EXPECT_EQ(logged, (std::vector<int>{1, 1, 2}));
}

TEST_F(RecordDecoderTest, TheErrorByteSetsAndClearsFlagsAndStatus)
{
    Decode(";\r\n");  // every field reads as 0
    Decode(";D481\r\n");
    EXPECT_EQ(written.join(' '),
              "lbl_error=129 LaserLow=1 LaserLow#255 Flow=1 Flow#255 status=Fault status#255");
    Decode(";D400\r\n");
    EXPECT_EQ(written.join(' '),
              "lbl_error=0 LaserLow=0 LaserLow#65280 Flow=0 Flow#65280 status=OK status#65280");
}

TEST_F(RecordDecoderTest, CharacterOutsideTheSetChangesNothing)
{
    for (const QByteArray record :
         {"G;A10002\r\n", ";A10002;D400G\r\n", ";A1 0002\r\n", ";A10002\r\nG"}) {
        Decode(record);
        EXPECT_TRUE(written.isEmpty()) << record.toStdString();
    }
    EXPECT_TRUE(logged.empty());
}

TEST_F(RecordDecoderTest, FieldsAreTakenAfterTheFirstOccurrenceOfTheirTag)
{
    Decode(";A10B12;B10000001\r\n");  // "B1" inside A1's digits
    EXPECT_EQ(Text(Item::SystemID), "2834");
    EXPECT_EQ(Text(Item::Chan1Duty), "34.279424");  // "2;B1000", the ";" counting as 0
    Decode(";A112\r\n");                             // cut short: CR LF read as zeros
    EXPECT_EQ(Text(Item::SystemID), "4608");
}

TEST_F(RecordDecoderTest, LocaleSeparatorIsWrittenAndReadBack)
{
    QLocale::setDefault(QLocale(QLocale::German));
    items[1].setText(Item::txt_flow_factor, "0,5");
    Decode(";B703C;B50004B0;B12FAF080;C50A5;C101F4\r\n");
    QLocale::setDefault(QLocale::c());

    EXPECT_EQ(Text(Item::Chan1Duty), "50,000000");
    EXPECT_EQ(Text(Item::ISOCode4um), "16,5");
    EXPECT_EQ(Text(Item::Counts4um), "500");  // 16,5 read back as 16.5
    EXPECT_EQ(Text(Item::FlowIndex), "12");   // 1200 / 50,000000 * 0,5
}

}  // namespace
}  // namespace grainlink::test
