#include "acquisition/field_conversions.h"
#include "acquisition/record_decoder.h"
#include "tools/sim/instrument_model.h"
#include "tools/sim/record_builder.h"
#include "tools/sim/transmission_plan.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace grainlink::sim {
namespace {

QByteArrayList Records(int unit, uint32_t seed, int count)
{
    InstrumentModel model(unit, seed);
    QByteArrayList records;
    while (records.size() < count) records << BuildRecord(IdentityOfUnit(unit), model.next());
    return records;
}

TEST(BuildRecord, EveryUnitsRecordsHaveTheReceiversLayoutAndRepeatWithTheirSeed)
{
    // Each field's tag and width in the order sent; x stands for a lower-case hex digit. Upper
    // case only in tags: no tag is spelt inside another field's digits, where the receiver
    // would find it first.
    const QRegularExpression layout(
        QStringLiteral("^;A1x{4};A2x{2};A3x{4};A4x{2};B1x{7};B2x{7};B3x{7};B4x{7};B5x{6};B6x{6};"
                       "B7x{3};C1x{4};C2x{4};C3x{4};C4x{4};C5x{3};C6x{3};C7x{3};C8x{3};D1x{2};"
                       "D2x{3};D3x{2};D4x{2}\r\n$")
            .replace(u'x', QLatin1String("[0-9a-f]")));
    for (int unit = 1; unit <= 4; ++unit)
        for (const QByteArray& record : Records(unit, 42, 200))
            ASSERT_TRUE(layout.match(QString::fromLatin1(record)).hasMatch()) << record.data();
    EXPECT_EQ(Records(3, 9, 5), Records(3, 9, 5));
    EXPECT_NE(Records(3, 9, 5), Records(3, 10, 5));
    EXPECT_NE(Records(3, 9, 5), Records(4, 9, 5));
}

TEST(BuildRecord, WritesAReadingInTheReceiversUnits)
{
    const Reading r{.countsPerMl = {500, 40, 5, 0.5}, .dutyPercent = {50, 2.5, 0.25, 0},
                    .chan1Events = 1200, .chan4Events = 3, .sampleSeconds = 60,
                    .laserCurrentMa = 45, .diodePowerMw = 2.45, .temperatureC = -5,
                    .errorByte = 0x81};
    EXPECT_EQ(BuildRecord(IdentityOfUnit(2), r),
              ";A11002;A202;A33ae2;A421;B12faf080;B202625a0;B3003d090;B40000000;B50004b0;"
              "B6000003;B703c;C101f4;C20028;C31388;C401f4;C509c;C6078;C705a;C8038;"
              "D12d;D20f5;D385;D481\r\n");
}

TEST(BuildRecord, ATemperatureBeyondTheFieldIsSentAsTheFieldsLimit)
{
    const std::pair<int, const char*> cases[] = {
        {INT_MIN, ";D3ff;"}, {-128, ";D3ff;"}, {-127, ";D3ff;"}, {127, ";D37f;"}, {INT_MAX, ";D37f;"}};
    for (const auto& [celsius, field] : cases) {
        Reading r;
        r.temperatureC = celsius;
        EXPECT_TRUE(BuildRecord(IdentityOfUnit(1), r).contains(field)) << celsius;
    }
}

// The firmware is sent as text: an upper-case "C5" there would be found before the ISO code's own
// tag and read in its place.
TEST(BuildRecord, AFirmwareThatSpellsATagLeavesEveryOtherFieldAsItWas)
{
    const Reading r = InstrumentModel(1, 7).next();
    const auto decoded = [&r](const QByteArray& firmware) {
        UnitIdentity id = IdentityOfUnit(1);
        id.firmware = firmware;
        SharedState state;
        state.UnitData[1].RxBuffer = BuildRecord(id, r);
        ItemTables items;
        RecordDecoder(state, items, {}).DecodeRecord(1);
        QStringList texts;
        for (Item item : AllItems()) texts << items[1].text(item);
        return texts;
    };
    const auto joined = [](const QStringList& texts) { return texts.join(u'|').toStdString(); };
    QStringList expected = decoded("21");
    for (const char* firmware : {"C5", "b1", "D4"}) {
        expected[static_cast<int>(Item::Firmware)] = QString::fromLatin1(firmware).toLower();
        EXPECT_EQ(joined(decoded(firmware)), joined(expected));
    }
}

TEST(EncodeSize, CodeMatchesTheCarriedCountAcrossAllScales)
{
    // From far below ISO 0 to beyond the 4-digit thousands, in steps finer than one tenth.
    for (double count = 0.001; count < 7e7; count *= 1.003) {
        const SizeFields f = EncodeSize(count);
        const double received =
            CountsText(f.isoTenths / 10.0f, QByteArray::number(f.counts, 16)).toDouble();
        ASSERT_EQ(std::max(0L, std::lround(10 * std::log2(received * 100))), f.isoTenths)
            << "count " << count;
    }
}

const QByteArray kRecord = ";A11001;A201;C5096;D400\r\n";

QByteArray Joined(const std::vector<Chunk>& chunks)
{
    QByteArray all;
    for (const Chunk& c : chunks) all += c.bytes;
    return all;
}

TEST(PlanSlot, RecordFaultsBreakExactlyTheirRule)
{
    const std::tuple<Fault, QByteArray, std::size_t> cases[] = {  // fault, bytes sent, chunks
        {Fault::None, kRecord, 1}, {Fault::NoSemicolon, kRecord.mid(1), 1},
        {Fault::NoLineEnd, kRecord.chopped(2), 1},
        {Fault::BadChars, kRecord.chopped(2) + "G\r\n", 1},
        {Fault::Split, kRecord, kSplitPieces}, {Fault::Silence, "", 0}};
    for (const auto& [fault, sent, chunks] : cases) {
        SCOPED_TRACE(FaultName(fault).toStdString());
        const SlotPlan plan = PlanSlot(kRecord, fault, 5000);
        EXPECT_EQ(plan.lengthMs, 5000);
        EXPECT_EQ(Joined(plan.chunks), sent);
        ASSERT_EQ(plan.chunks.size(), chunks);
        for (std::size_t i = 0; i < chunks; ++i)  // a split record: one piece a second
            EXPECT_EQ(plan.chunks[i].atMs, int(i) * kSplitGapMs);
    }
    // A split record outlasts a short interval.
    EXPECT_EQ(PlanSlot(kRecord, Fault::Split, 1000).lengthMs, (kSplitPieces - 1) * kSplitGapMs);
}

TEST(PlanSlot, EndlessFillsTheSlotAtLineSpeedWithoutSilentSeconds)
{
    for (int interval : {3000, 1}) {
        const SlotPlan plan = PlanSlot(kRecord, Fault::Endless, interval);
        EXPECT_GE(plan.lengthMs, interval);
        EXPECT_EQ(plan.lengthMs, int(plan.chunks.size()) * kEndlessStepMs);
        for (std::size_t i = 0; i < plan.chunks.size(); ++i)
            EXPECT_EQ(plan.chunks[i].atMs, int(i) * kEndlessStepMs);
        const QByteArray stream = Joined(plan.chunks);
        EXPECT_NEAR(stream.size() * 1000.0 / plan.lengthMs, kLineCharsPerSecond, 10) << interval;
        EXPECT_TRUE(kRecord.repeated(stream.size() / kRecord.size() + 1).startsWith(stream));
    }
}

// The receiver polls once a second: it first sees a record up to a second after it starts,
// reads until its last character has arrived, and frames it after two silent ticks.
TEST(ShortestSeparateInterval, CoversTheFramingOfTheSlowestSlot)
{
    const std::pair<Fault, int> cases[] = {
        {Fault::None, 4000}, {Fault::BadChars, 4000},
        {Fault::Split, 2000 + 8 + 3000},  // the last 7 characters take 8 ms at 9600 baud
        {Fault::Endless, 0}, {Fault::Silence, 0}};  // never silent, or nothing to frame
    for (const auto& [fault, shortest] : cases)
        EXPECT_EQ(ShortestSeparateIntervalMs(kRecord, fault), shortest)
            << FaultName(fault).toStdString();
}

}  // namespace
}  // namespace grainlink::sim
