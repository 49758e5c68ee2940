#include "server/data_log.h"

#include "acquisition/unit_file_name.h"
#include "server/number_text.h"
#include "state/numeric_text.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace grainlink {
namespace {

constexpr const char* kLineEnd = "\r\n";

// The single-precision value of a number text, 0 for anything else.
float Single(const QString& text)
{
    return static_cast<float>(NumericValue(text).value_or(0));
}

// The integer value of a number text, halves to even; 0 for anything else or out of range.
int16_t Integer(const QString& text)
{
    const double value = std::nearbyint(NumericValue(text).value_or(0));
    if (!(value >= std::numeric_limits<int16_t>::min() &&
          value <= std::numeric_limits<int16_t>::max()))
        return 0;
    return static_cast<int16_t>(value);
}

int NewestRow(int32_t bufferSize)
{
    return std::clamp<int32_t>(bufferSize, 1, HistoryStore::kMaxRows);
}

}  // namespace

QByteArray DataLogHeader()
{
    return QStringLiteral(
               "Date;Time;4\u00B5m counts/mL;6\u00B5m counts/mL;14\u00B5m counts/mL;"
               "21\u00B5m counts/mL;4\u00B5m ISO code;6\u00B5m ISO code;14\u00B5m ISO code;"
               "21\u00B5m ISO code;Error state;Error code;Laser current;Diode power;"
               "Temperature \u00B0C;Flow Index")
        .toLatin1();
}

QByteArray DataLogLine(const HistoryRec& row, const QDateTime& now)
{
    QStringList fields{ShortDateText(now.date()), TimeText(now.time())};
    for (int size = 1; size <= 4; ++size) fields << NumberText(row.Counts[size]);
    for (int size = 1; size <= 4; ++size) fields << NumberText(row.IsoCodes[size]);
    fields << (row.ErrorState ? QStringLiteral("Error") : QStringLiteral("OK"))
           << QString::number(row.ErrorCode) << NumberText(row.LaserCurrent)
           << NumberText(row.DiodePower) << NumberText(row.Temperature)
           << ListPrintText(row.FlowIndex);
    // One byte per character; anything outside Latin-1 (a date in another script) becomes "?".
    return fields.join(QLatin1Char(';')).toLatin1() + kLineEnd;
}

HistoryRec RecordFromItems(const ItemTable& items, const QDateTime& now)
{
    HistoryRec row;
    // With its offset fixed, so that writing it later (a page of history) reads no time zone.
    row.Time = now.toOffsetFromUtc(now.offsetFromUtc());
    row.TimeText = TimeText(now.time());
    row.DateText = ShortDateText(now.date());
    const Item counts[] = {Item::Counts4um, Item::Counts6um, Item::Counts14um, Item::Counts21um};
    const Item codes[] = {Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um,
                          Item::ISOCode21um};
    for (int size = 1; size <= 4; ++size) {
        row.Counts[size] = Single(items.text(counts[size - 1]));
        row.IsoCodes[size] = Single(items.text(codes[size - 1]));
    }
    row.LaserCurrent = Single(items.text(Item::LaserCurrent));
    row.DiodePower = Single(items.text(Item::DiodePower));
    row.Temperature = Single(items.text(Item::Temperature));
    row.ErrorState = items.text(Item::status) == QLatin1String("Fault");
    row.FlowIndex = Single(items.text(Item::FlowIndex));
    row.ErrorCode = Integer(items.text(Item::lbl_error));
    return row;
}

void CreateMissingLogFile(const SharedState& state, int unit)
{
    if (!state.LogEnabled) return;
    // NewOnly: an existing file keeps its records, even one we may not read.
    QFile file(UnitFileName(state.LogFile, unit));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        file.write(DataLogHeader() + kLineEnd);
}

void CreateMissingLogFiles(const SharedState& state)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) CreateMissingLogFile(state, unit);
}

DataLog::DataLog(const SharedState& state, const ItemTables& items, HistoryStore& history,
                 const Clock& clock, SideFileWriter::Reporter report)
    : m_state(state), m_items(items), m_history(history), m_clock(clock),
      m_writer(std::move(report))
{
}

void DataLog::LogData(int unit)
{
    if (unit < 1 || unit > kMaxUnits) return;
    const QDateTime received = m_clock.now();
    m_history.setFrameCaption(unit,
                              QStringLiteral("Last data received at ") + GeneralDateText(received));
    m_history.store(unit, m_state.BufferSize, RecordFromItems(m_items[unit], received));
    m_history.RefreshHistory(unit);

    if (m_state.DemoMode || !m_state.LogEnabled) return;
    const QString path = UnitFileName(m_state.LogFile, unit);
    // A file rotated away or deleted (or emptied) starts again with its column names, so that
    // every file opens in a spreadsheet with them.
    m_writer.Append(unit, path,
                    DataLogLine(m_history.row(unit, NewestRow(m_state.BufferSize)), m_clock.now()),
                    DataLogHeader() + kLineEnd);
}

}  // namespace grainlink
