#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace grainlink::sim {

// Ways in which a simulated instrument can misbehave, each aimed at one rule of the receiver.
enum class Fault {
    None,
    NoSemicolon,  // the record lacks its leading ";"
    NoLineEnd,    // the record lacks its CR LF
    BadChars,     // a character no record may hold ("G") before the line end
    Split,        // the record arrives in pieces, one per second
    Endless,      // characters keep coming at line speed, never two silent seconds
    Silence,      // nothing is sent
};

std::optional<Fault> FaultFromName(QStringView name);
QString FaultName(Fault fault);
QStringList FaultNames();  // every fault but None, as accepted on the command line

// Bytes to write at a time after the start of a record slot.
struct Chunk {
    int atMs = 0;
    QByteArray bytes;
};

inline constexpr int kSplitPieces = 3;
inline constexpr int kSplitGapMs = 1000;
inline constexpr int kLineCharsPerSecond = 960;  // 9600 baud, 8N1
inline constexpr int kEndlessStepMs = 100;

// What the line carries during one record slot: chunks in time order, and how long the slot
// lasts (at least the interval asked for, longer if its transmission needs more).
struct SlotPlan {
    std::vector<Chunk> chunks;
    int lengthMs = 0;
};

// The shortest interval at which the next slot cannot run into this one at a receiver that
// polls once a second: it first sees input up to a tick after it starts, reads until the last
// character has arrived (at 9600 baud on a real line) and frames the message after two silent
// ticks. Slots closer together merge, and the merged message is abandoned. 0 for a slot with
// nothing to frame (silence) or that never falls silent (endless).
int ShortestSeparateIntervalMs(const QByteArray& record, Fault fault);

// Plans one slot of `intervalMs`. An endless stream fills the whole slot with the record
// repeated, paced as the real line would carry it.
SlotPlan PlanSlot(const QByteArray& record, Fault fault, int intervalMs);

}  // namespace grainlink::sim
