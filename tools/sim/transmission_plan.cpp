#include "tools/sim/transmission_plan.h"

#include <algorithm>
#include <array>

namespace grainlink::sim {
namespace {

struct NamedFault {
    Fault fault;
    const char* name;
};

constexpr std::array<NamedFault, 6> kFaults = {{
    {Fault::NoSemicolon, "no-semicolon"},
    {Fault::NoLineEnd, "no-line-end"},
    {Fault::BadChars, "bad-chars"},
    {Fault::Split, "split"},
    {Fault::Endless, "endless"},
    {Fault::Silence, "silence"},
}};

QByteArray WithoutLineEnd(const QByteArray& record)
{
    QByteArray text = record;
    while (text.endsWith('\r') || text.endsWith('\n')) text.chop(1);
    return text;
}

std::vector<Chunk> Split(const QByteArray& record)
{
    std::vector<Chunk> chunks;
    const qsizetype piece = (record.size() + kSplitPieces - 1) / kSplitPieces;
    for (qsizetype from = 0, at = 0; from < record.size(); from += piece, at += kSplitGapMs)
        chunks.push_back({static_cast<int>(at), record.mid(from, piece)});
    return chunks;
}

SlotPlan Endless(const QByteArray& record, int intervalMs)
{
    constexpr int perStep = kLineCharsPerSecond * kEndlessStepMs / 1000;
    const int steps = std::max(1, (intervalMs + kEndlessStepMs - 1) / kEndlessStepMs);
    SlotPlan plan{{}, steps * kEndlessStepMs};
    if (record.isEmpty()) return plan;
    const QByteArray stream = record.repeated(perStep / record.size() + 2);
    for (qsizetype step = 0, from = 0; step < steps; ++step) {
        plan.chunks.push_back({static_cast<int>(step) * kEndlessStepMs, stream.mid(from, perStep)});
        from = (from + perStep) % record.size();
    }
    return plan;
}

}  // namespace

std::optional<Fault> FaultFromName(QStringView name)
{
    for (const NamedFault& f : kFaults)
        if (name == QLatin1StringView(f.name)) return f.fault;
    if (name == u"none") return Fault::None;
    return std::nullopt;
}

QString FaultName(Fault fault)
{
    for (const NamedFault& f : kFaults)
        if (f.fault == fault) return QString::fromLatin1(f.name);
    return QStringLiteral("none");
}

QStringList FaultNames()
{
    QStringList names;
    for (const NamedFault& f : kFaults) names << QString::fromLatin1(f.name);
    return names;
}

SlotPlan PlanSlot(const QByteArray& record, Fault fault, int intervalMs)
{
    if (fault == Fault::Endless) return Endless(record, intervalMs);
    SlotPlan plan{{}, intervalMs};
    switch (fault) {
    case Fault::None: plan.chunks = {{0, record}}; break;
    case Fault::NoSemicolon:
        plan.chunks = {{0, record.startsWith(';') ? record.mid(1) : record}};
        break;
    case Fault::NoLineEnd: plan.chunks = {{0, WithoutLineEnd(record)}}; break;
    case Fault::BadChars: plan.chunks = {{0, WithoutLineEnd(record) + "G\r\n"}}; break;
    case Fault::Split: plan.chunks = Split(record); break;
    case Fault::Endless:
    case Fault::Silence: break;
    }
    if (!plan.chunks.empty()) plan.lengthMs = std::max(plan.lengthMs, plan.chunks.back().atMs);
    return plan;
}

int ShortestSeparateIntervalMs(const QByteArray& record, Fault fault)
{
    constexpr int kTickMs = 1000;
    constexpr int kSilentTicks = 2;
    if (fault == Fault::Endless || fault == Fault::Silence) return 0;
    const SlotPlan plan = PlanSlot(record, fault, 0);
    if (plan.chunks.empty()) return 0;
    const Chunk& last = plan.chunks.back();
    const qsizetype lineMs = (last.bytes.size() * 1000 + kLineCharsPerSecond - 1) /
                             kLineCharsPerSecond;  // rounded up
    const int lastArrivalMs = last.atMs + static_cast<int>(lineMs);
    // The last read is at the first tick after the last character, and never before the tick
    // after the one that first saw the message.
    return std::max(lastArrivalMs, kTickMs) + kTickMs + kSilentTicks * kTickMs;
}

}  // namespace grainlink::sim
