#pragma once

#include "state/item_table.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace grainlink {

// A unit's state at a glance, as the overview and the HTTP API name it.
enum class UnitState { Live, Stale, PortLost, Alarm, Demo, Paused, Disabled };

// What the unit's values come from.
enum class ValueSource {
    None,    // marked invalid: no record since the port was opened, or a silence
    Record,  // a record from the instrument
    Demo,    // a demonstration record
};

// What is known of a unit, from which its state follows.
struct UnitFacts {
    bool served = false;    // 1..NumUnits and enabled
    bool paused = false;    // acquisition stopped while the options dialog is open
    bool portLost = false;  // its port could not be opened or went away, and is retried
    ValueSource values = ValueSource::None;
    bool alarm = false;  // the last record has an alarm flag set or status Fault
};

// The first that applies, in this order: Disabled (not served), Paused, Port lost, Stale (no
// valid values), Demo, Alarm, Live. Stale comes before Alarm because an alarm of values that
// are no longer valid says nothing about the instrument now.
UnitState StateOf(const UnitFacts& facts);

// "Live", "Stale", "Port lost", "Alarm", "Demo", "Paused", "Disabled".
QString StateWord(UnitState state);
// The same in lower case, as the HTTP API writes it: "live", "port lost", ...
QString StateKey(UnitState state);

// The shown text of a value for a tile.
inline constexpr const char* kNoDataWord = "no data";

// The items of a tile's ISO codes and counts, smallest particle size first.
inline constexpr std::array<Item, 4> kTileIsoCodes = {Item::ISOCode4um, Item::ISOCode6um,
                                                      Item::ISOCode14um, Item::ISOCode21um};
inline constexpr std::array<Item, 4> kTileCounts = {Item::Counts4um, Item::Counts6um,
                                                    Item::Counts14um, Item::Counts21um};

// One value of a tile: the text exactly as the unit's data window shows it, or "no data" when
// the unit has no valid values or the item shows the no-data marker; `number` is the same as
// a number, none for "no data".
struct TileValue {
    QString text = QString::fromLatin1(kNoDataWord);
    std::optional<double> number;
};

// Everything a unit's tile shows, at one moment.
struct UnitView {
    int unit = 0;
    QString name;
    UnitState state = UnitState::Disabled;
    bool valuesValid = false;  // served, with values from a record (not marked invalid)
    QStringList alarms;  // names of the alarm flags set in the last record, in screen order
    std::array<TileValue, 4> isoCodes;  // 4, 6, 14 and 21 µm
    std::array<TileValue, 4> counts;    // per mL, 4, 6, 14 and 21 µm
    TileValue temperature;
    TileValue flowIndex;
    std::optional<QDateTime> lastRecord;  // of the last record, real or generated
    QString lastRecordText;               // in the system's format, empty before the first
    QString ageText;                      // "12 s ago", empty before the first record
    int rxCount = 0;                      // messages framed since start, as on the main window
};

// How long ago `then` was, seen at `now`: "12 s ago" below two minutes, then "5 min ago" below
// two hours, "3 h ago" below two days, "4 d ago". A time in the future (the clock was set back)
// is "0 s ago".
QString AgeText(const QDateTime& then, const QDateTime& now);

// "Unit 1 (Line A)", or "Unit 1" when the name is empty or the unit's number; empty for unit 0
// (an event of the whole server).
QString UnitLabel(int unit, const QString& name);

}  // namespace grainlink
