#pragma once

#include "acquisition/side_file.h"
#include "display/history_store.h"
#include "platform/clock.h"
#include "state/item_table.h"
#include "state/unit_state.h"

#include <QByteArray>
#include <QDateTime>

namespace grainlink {

// The first line of a data log file, without its line end. The files are 8-bit text as the
// tools that read them expect: µ and ° are the single bytes B5h and B0h.
QByteArray DataLogHeader();

// The data log line of a history row written at `now`: 16 fields separated by ";" (date, time,
// four counts, four ISO codes, "Error" or "OK", error code, laser current, diode power,
// temperature, flow index in list-print form) and CR LF.
QByteArray DataLogLine(const HistoryRec& row, const QDateTime& now);

// A history row from the texts of a unit's items, stored at `now`. A status of exactly "Fault"
// is an error state; a flow index or error code that is not a number is 0.
HistoryRec RecordFromItems(const ItemTable& items, const QDateTime& now);

// When LogEnabled: creates the data log file of the unit when it does not exist yet, with the
// header line. An existing file is never opened for writing, even one that cannot be read; a
// file that cannot be created is left to LogData, which reports it.
void CreateMissingLogFile(const SharedState& state, int unit);
// The same for units 1..4, whatever the unit count.
void CreateMissingLogFiles(const SharedState& state);

// `LogData(unit)`: every record that reaches a unit enters its history and, unless logging is
// off or demonstration mode is on, its data log file. The chart frame's caption is stamped,
// the history shifted and its newest row filled from the item texts, the grid and chart
// refreshed, then the line appended; a file that is missing or empty gets the header line
// first. A line is appended whole or not at all; a file that cannot take it is reported once
// (and once more when it takes lines again), and the history goes on either way.
class DataLog {
public:
    DataLog(const SharedState& state, const ItemTables& items, HistoryStore& history,
            const Clock& clock, SideFileWriter::Reporter report);

    // Units outside 1..4 do nothing.
    void LogData(int unit);

private:
    const SharedState& m_state;
    const ItemTables& m_items;
    HistoryStore& m_history;
    const Clock& m_clock;
    SideFileWriter m_writer;
};

}  // namespace grainlink
