#include "tools/sim/transmission_plan.h"

#include <gtest/gtest.h>

namespace grainlink::sim {
namespace {

const QByteArray kRecord = ";A11001;A201;C5096;D400\r\n";

QByteArray Joined(const std::vector<Chunk>& chunks)
{
    QByteArray all;
    for (const Chunk& c : chunks) all += c.bytes;
    return all;
}

TEST(PlanSlot, RecordFaultsBreakExactlyTheirRule)
{
    const auto once = [](Fault fault) {
        const SlotPlan plan = PlanSlot(kRecord, fault, 5000);
        EXPECT_EQ(plan.lengthMs, 5000);
        EXPECT_EQ(plan.chunks.size(), 1u);
        EXPECT_EQ(plan.chunks.front().atMs, 0);
        return plan.chunks.front().bytes;
    };
    EXPECT_EQ(once(Fault::None), kRecord);
    EXPECT_EQ(once(Fault::NoSemicolon), kRecord.mid(1));
    EXPECT_EQ(once(Fault::NoLineEnd), kRecord.chopped(2));
    EXPECT_EQ(once(Fault::BadChars), kRecord.chopped(2) + "G\r\n");
    EXPECT_TRUE(PlanSlot(kRecord, Fault::Silence, 5000).chunks.empty());
}

TEST(PlanSlot, SplitSendsTheWholeRecordInPiecesOneSecondApart)
{
    const SlotPlan plan = PlanSlot(kRecord, Fault::Split, 1000);
    ASSERT_EQ(plan.chunks.size(), std::size_t(kSplitPieces));
    for (std::size_t i = 0; i < plan.chunks.size(); ++i) {
        EXPECT_EQ(plan.chunks[i].atMs, int(i) * kSplitGapMs);
        EXPECT_FALSE(plan.chunks[i].bytes.isEmpty());
    }
    EXPECT_EQ(Joined(plan.chunks), kRecord);
    EXPECT_EQ(plan.lengthMs, (kSplitPieces - 1) * kSplitGapMs);  // outlasts a short interval
}

TEST(PlanSlot, EndlessFillsTheSlotAtLineSpeedWithoutSilentSeconds)
{
    for (int interval : {3000, 250, 1}) {
        const SlotPlan plan = PlanSlot(kRecord, Fault::Endless, interval);
        ASSERT_FALSE(plan.chunks.empty());
        EXPECT_GE(plan.lengthMs, interval);
        EXPECT_EQ(plan.chunks.front().atMs, 0);
        EXPECT_EQ(plan.lengthMs - plan.chunks.back().atMs, kEndlessStepMs);
        for (std::size_t i = 1; i < plan.chunks.size(); ++i)
            EXPECT_EQ(plan.chunks[i].atMs - plan.chunks[i - 1].atMs, kEndlessStepMs);
        const QByteArray stream = Joined(plan.chunks);
        EXPECT_NEAR(stream.size() * 1000.0 / plan.lengthMs, kLineCharsPerSecond, 10) << interval;
        EXPECT_TRUE(kRecord.repeated(stream.size() / kRecord.size() + 1).startsWith(stream));
    }
}

TEST(FaultNames, RoundTrip)
{
    for (const QString& name : FaultNames()) EXPECT_EQ(FaultName(*FaultFromName(name)), name);
    EXPECT_EQ(FaultNames().size(), 6);
    EXPECT_FALSE(FaultFromName(u"no-such-fault").has_value());
}

}  // namespace
}  // namespace grainlink::sim
