#include "acquisition/record_decoder.h"

#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace grainlink {
namespace {

class RecordDecoderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&items[1], &ItemTable::textChanged, [this](Item item, const QString& t) {
            written << ItemName(item) + u'=' + t;
        });
        QObject::connect(&items[1], &ItemTable::colourChanged, [this](Item item, Colour c) {
            written << ItemName(item) + u'#' + QString::number(c);
        });
    }
    void Decode(const QByteArray& record, int unit = 1)
    {
        written.clear();
        state.UnitData[unit].RxBuffer = record;
        decoder.DecodeRecord(unit);
    }
    QString Text(Item item) const { return items[1].text(item); }

    SharedState state;
    ItemTables items;
    QStringList written;  // unit 1's changes, in order, as "Name=text" and "Name#colour"
    std::vector<int> logged;
    RecordDecoder decoder{state, items, [this](int unit) { logged.push_back(unit); }};
};

TEST_F(RecordDecoderTest, FullRecordIsWrittenInScreenOrderThenLogged)
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
    EXPECT_EQ(logged, std::vector<int>{1});
}

TEST_F(RecordDecoderTest, ErrorByteSetsFlagsAndStatus)
{
    Decode(";\r\n");
    Decode(";D481\r\n");
    EXPECT_EQ(written.join(' '),
              "lbl_error=129 LaserLow=1 LaserLow#255 Flow=1 Flow#255 status=Fault status#255");
    Decode(";D400\r\n");
    EXPECT_EQ(written.join(' '),
              "lbl_error=0 LaserLow=0 LaserLow#65280 Flow=0 Flow#65280 status=OK status#65280");
}

TEST_F(RecordDecoderTest, FlowIndexUsesTheWindowFactorAndShowsNoDataWhenItOverflows)
{
    const QByteArray record = ";B703C;B50004B0;B12FAF080\r\n";  // 60 s, 1200 events, duty 50
    items[1].setText(Item::txt_flow_factor, "0.00075");
    Decode(record);
    EXPECT_EQ(Text(Item::FlowIndex), "0");
    items[1].setText(Item::txt_flow_factor, "0.00075ab");
    Decode(record);
    EXPECT_EQ(Text(Item::FlowIndex), "24");

    Decode(";A10009;B703C;B50009C4;B10000001;D401\r\n");  // 2500 per minute / 0.000001
    EXPECT_EQ(Text(Item::FlowIndex), "-1");
    EXPECT_EQ(Text(Item::SystemID), "9");
    EXPECT_EQ(Text(Item::status), "Fault");
    EXPECT_EQ(logged, (std::vector<int>{1, 1, 1}));
}

TEST_F(RecordDecoderTest, CharacterOutsideTheSetChangesNothing)
{
    Decode(";A10001;D401\r\n");
    for (const QByteArray record :
         {"G;A10002\r\n", ";A10002;D400G\r\n", ";A1 0002\r\n", ";A10002\r\nG"}) {
        Decode(record);
        EXPECT_TRUE(written.isEmpty()) << record.toStdString();
    }
    EXPECT_EQ(logged, std::vector<int>{1});
}

TEST_F(RecordDecoderTest, FirstOccurrenceOfATagWinsEvenInsideAnotherField)
{
    Decode(";A10B12;B10000001\r\n");
    EXPECT_EQ(Text(Item::SystemID), "2834");
    EXPECT_EQ(Text(Item::Chan1Duty), "34.279424");  // "2;B1000", the ";" counting as 0
}

TEST_F(RecordDecoderTest, ShortAndMissingFieldsReadAsZeros)
{
    Decode(";A112\r\n");
    EXPECT_EQ(Text(Item::SystemID), "4608");

    Decode(";\r\n");
    QStringList shown;
    for (Item item : AllItems()) shown << Text(item);
    EXPECT_EQ(shown.join(' '),
              "0 0 0 0 0 00.000000 00.000000 00.000000 00.000000 0 0  "
              "0.0000 0.0000 0.0000 0.0000 0.0 0.0 0.0 0.0 0 0.00 0 0 OK 0 "
              "0 0 0 0 0 0 0 0");
    EXPECT_EQ(logged, (std::vector<int>{1, 1}));
}

TEST_F(RecordDecoderTest, OnlyUnitsOneToFourAreDecodedButEveryValidRecordIsLogged)
{
    Decode(";A10002\r\n", 2);
    EXPECT_EQ(items[2].text(Item::SystemID), "2");
    Decode(";A10003\r\n", 5);
    Decode(";A10003\r\n", 0);
    for (int unit = 1; unit <= 4; ++unit) EXPECT_NE(items[unit].text(Item::SystemID), "3");
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(logged, (std::vector<int>{2, 5, 0}));
}

TEST_F(RecordDecoderTest, LocaleSeparatorIsWrittenAndReadBack)
{
    QLocale::setDefault(QLocale(QLocale::German));
    items[1].setText(Item::txt_flow_factor, "0,5");
    Decode(";B703C;B50004B0;B12FAF080;C50A5;C101F4;D2190\r\n");
    QLocale::setDefault(QLocale::c());

    EXPECT_EQ(Text(Item::Chan1Duty), "50,000000");
    EXPECT_EQ(Text(Item::ISOCode4um), "16,5");
    EXPECT_EQ(Text(Item::Counts4um), "500");  // 16,5 read back as 16.5
    EXPECT_EQ(Text(Item::DiodePower), "4,00");
    EXPECT_EQ(Text(Item::FlowIndex), "12");  // 1200 / 50,000000 * 0,5
}

}  // namespace
}  // namespace grainlink
