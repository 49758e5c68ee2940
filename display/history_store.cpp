#include "display/history_store.h"

#include <algorithm>
#include <stdexcept>

namespace grainlink {

HistoryStore::HistoryStore(QObject* parent) : QObject(parent) {}

HistoryStore::Unit& HistoryStore::at(int unit)
{
    if (unit < 1 || unit > 4) throw std::out_of_range("unit outside 1..4");
    return m_units[unit - 1];
}

const HistoryStore::Unit& HistoryStore::at(int unit) const
{
    if (unit < 1 || unit > 4) throw std::out_of_range("unit outside 1..4");
    return m_units[unit - 1];
}

int HistoryStore::rowsWithin(int bufferSize)
{
    return std::clamp(bufferSize, 0, kMaxRows);
}

const HistoryRec& HistoryStore::row(int unit, int row) const
{
    if (row < 1 || row > kMaxRows) throw std::out_of_range("history row outside 1..1000");
    return at(unit).rows[row - 1];
}

void HistoryStore::store(int unit, int bufferSize, HistoryRec record)
{
    std::vector<HistoryRec>& rows = at(unit).rows;
    const int size = rowsWithin(bufferSize);
    if (size == 0) return;
    // Moving rather than copying: the texts are handed on, not duplicated, 999 times a record.
    std::move(rows.begin() + 1, rows.begin() + size, rows.begin());
    rows[size - 1] = std::move(record);
}

void HistoryStore::clear(int unit, int bufferSize)
{
    std::vector<HistoryRec>& rows = at(unit).rows;
    std::fill(rows.begin(), rows.begin() + rowsWithin(bufferSize), HistoryRec());
}

HistoryView HistoryStore::tableView(int unit) const
{
    return at(unit).tableView;
}

void HistoryStore::setTableView(int unit, HistoryView view)
{
    at(unit).tableView = view;
}

bool HistoryStore::timeColumnSized(int unit) const
{
    return at(unit).timeColumnSized;
}

void HistoryStore::setTimeColumnSized(int unit, bool sized)
{
    at(unit).timeColumnSized = sized;
}

const QString& HistoryStore::frameCaption(int unit) const
{
    return at(unit).frameCaption;
}

void HistoryStore::setFrameCaption(int unit, const QString& caption)
{
    QString& current = at(unit).frameCaption;
    if (current == caption) return;
    current = caption;
    emit frameCaptionChanged(unit, current);
}

int HistoryStore::configuredRows(int unit) const
{
    return at(unit).configuredRows;
}

void HistoryStore::ConfigureView(int unit, int bufferSize)
{
    if (unit < 1 || unit > 4) return;
    at(unit).configuredRows = rowsWithin(bufferSize);
    emit viewConfigured(unit);
}

void HistoryStore::RefreshHistory(int unit)
{
    if (unit < 1 || unit > 4) return;
    emit refreshed(unit);
}

}  // namespace grainlink
