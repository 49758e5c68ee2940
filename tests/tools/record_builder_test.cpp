#include "acquisition/locate.h"
#include "tools/sim/instrument_model.h"
#include "tools/sim/record_builder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace grainlink::sim {
namespace {

struct TagWidth {
    const char* tag;
    int width;
};

constexpr std::array<TagWidth, 23> kFields = {{
    {"A1", 4}, {"A2", 2}, {"A3", 4}, {"A4", 2}, {"B1", 7}, {"B2", 7}, {"B3", 7}, {"B4", 7},
    {"B5", 6}, {"B6", 6}, {"B7", 3}, {"C1", 4}, {"C2", 4}, {"C3", 4}, {"C4", 4}, {"C5", 3},
    {"C6", 3}, {"C7", 3}, {"C8", 3}, {"D1", 2}, {"D2", 3}, {"D3", 2}, {"D4", 2},
}};

// A field as the receiver finds it: the first occurrence of its tag anywhere in the record.
QByteArray Field(const QByteArray& record, const char* tag, int width)
{
    return Locate(QByteArray(tag), record, width);
}

long Hex(const QByteArray& record, const char* tag, int width)
{
    bool ok = false;
    const long value = Field(record, tag, width).toLong(&ok, 16);
    return ok ? value : -1;
}

// A count as the receiver reads it: the field's scale follows the ISO code sent with it.
double ReceivedCount(long field, long isoTenths)
{
    if (isoTenths < 110) return field / 1000.0;
    if (isoTenths <= 236) return field;
    return field * 1000.0;
}

// Every field sits right after its own tag (no earlier spelling of a tag in another field's
// digits), has its width, and is followed by ";" or the line end; ISO codes are those of the
// counts the receiver reads, and counts fall with particle size.
void ExpectDecodable(const QByteArray& record)
{
    ASSERT_TRUE(record.startsWith(';'));
    ASSERT_TRUE(record.endsWith("\r\n"));
    for (const TagWidth& f : kFields) {
        const qsizetype at = record.indexOf(QByteArray(";") + f.tag);
        ASSERT_GE(at, 0) << f.tag;
        EXPECT_EQ(record.indexOf(f.tag), at + 1)
            << f.tag << " also spelt earlier in " << record.constData();
        const char after = record.at(at + 3 + f.width);
        EXPECT_TRUE(after == ';' || after == '\r') << f.tag;
        if (QByteArray(f.tag) != "A4") {
            EXPECT_GE(Hex(record, f.tag, f.width), 0) << f.tag;
        }
    }
    const char* countTags[] = {"C1", "C2", "C3", "C4"};
    const char* isoTags[] = {"C5", "C6", "C7", "C8"};
    double previous = INFINITY;
    for (int size = 0; size < 4; ++size) {
        const long iso = Hex(record, isoTags[size], 3);
        const double count = ReceivedCount(Hex(record, countTags[size], 4), iso);
        EXPECT_EQ(std::lround(10 * std::log2(count * 100)), iso)
            << countTags[size] << " = " << count;
        EXPECT_LT(count, previous) << countTags[size];
        previous = count;
    }
}

TEST(BuildRecord, EveryUnitsRecordsDecodeAsSentAndDriftALittle)
{
    for (int unit = 1; unit <= 4; ++unit) {
        InstrumentModel model(unit, 42);
        QByteArray previous;
        for (int i = 0; i < 200; ++i) {
            const QByteArray record = BuildRecord(IdentityOfUnit(unit), model.next());
            SCOPED_TRACE(record.constData());
            ExpectDecodable(record);
            EXPECT_EQ(Hex(record, "A1", 4), 0x1000 + unit);
            EXPECT_EQ(Hex(record, "A2", 2), unit);
            EXPECT_EQ(Field(record, "A4", 2), "21");
            if (!previous.isEmpty()) {
                EXPECT_NE(record, previous);
                EXPECT_LE(std::abs(Hex(record, "C5", 3) - Hex(previous, "C5", 3)), 3);
                EXPECT_LE(std::abs(Hex(record, "D3", 2) - Hex(previous, "D3", 2)), 2);
            }
            previous = record;
        }
    }
    EXPECT_NE(BuildRecord(IdentityOfUnit(1), InstrumentModel(1, 1).next()),
              BuildRecord(IdentityOfUnit(2), InstrumentModel(2, 1).next()));
}

TEST(BuildRecord, SameSeedGivesSameRecordsOtherSeedOthers)
{
    InstrumentModel a(3, 9), b(3, 9), c(3, 10);
    bool differs = false;
    for (int i = 0; i < 5; ++i) {
        const Reading ra = a.next();
        EXPECT_EQ(BuildRecord(IdentityOfUnit(3), ra), BuildRecord(IdentityOfUnit(3), b.next()));
        differs = differs ||
                  BuildRecord(IdentityOfUnit(3), ra) != BuildRecord(IdentityOfUnit(3), c.next());
    }
    EXPECT_TRUE(differs);
}

TEST(BuildRecord, WritesAReadingInTheReceiversUnits)
{
    Reading r;
    r.countsPerMl = {500, 40, 5, 0.5};
    r.dutyPercent = {50, 2.5, 0.25, 0};
    r.chan1Events = 1200;
    r.chan4Events = 3;
    r.sampleSeconds = 60;
    r.laserCurrentMa = 45;
    r.diodePowerMw = 2.45;
    r.temperatureC = -5;
    r.errorByte = 0x81;
    EXPECT_EQ(BuildRecord(IdentityOfUnit(2), r),
              ";A11002;A202;A33ae2;A421;B12faf080;B202625a0;B3003d090;B40000000;B50004b0;"
              "B6000003;B703c;C101f4;C20028;C31388;C401f4;C509c;C6078;C705a;C8038;"
              "D12d;D20f5;D385;D481\r\n");
}

TEST(EncodeSize, CodeMatchesTheCarriedCountAcrossAllScales)
{
    // From far below ISO 0 to beyond the 4-digit thousands, in steps finer than one tenth.
    for (double count = 0.001; count < 7e7; count *= 1.003) {
        const SizeFields f = EncodeSize(count);
        const double received = ReceivedCount(f.counts, f.isoTenths);
        if (received > 0) {
            ASSERT_EQ(std::max(0L, std::lround(10 * std::log2(received * 100))), f.isoTenths)
                << "count " << count;
        }
    }
    EXPECT_EQ(EncodeSize(0).isoTenths, 0);
    EXPECT_EQ(EncodeSize(20.48).isoTenths, 110);  // first code carried in units
    EXPECT_EQ(EncodeSize(20.48).counts, 20);
    EXPECT_EQ(EncodeSize(19).counts, 19000);
    EXPECT_EQ(EncodeSize(200000).counts, 200);
}

}  // namespace
}  // namespace grainlink::sim
