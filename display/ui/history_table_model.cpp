#include "display/ui/history_table_model.h"

#include "acquisition/field_conversions.h"
#include "display/history_view.h"

namespace grainlink {

HistoryTableModel::HistoryTableModel(const HistoryStore& history, int unit, QObject* parent)
    : QAbstractTableModel(parent), m_history(history), m_unit(unit)
{
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kHistoryColumns;
}

QString HistoryTableModel::cellText(int row, int column) const
{
    const HistoryRec& record = m_history.row(m_unit, row + 1);
    if (column == 0) return record.DateText;
    if (column == 1) return record.TimeText;
    const float value = SeriesValue(record, m_valueView, column - 1);
    return FormatPattern(value, ColumnDecimals(m_valueView, column) == 2 ? u"0.00" : u"0.0");
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows) return {};
    if (role == Qt::TextAlignmentRole && index.column() > 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || !m_filled) return {};
    return cellText(index.row(), index.column());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kHistoryColumns)
        return ColumnHeading(m_headingView, section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void HistoryTableModel::Configure()
{
    // Rows come and go at the end rather than by a reset, which would also forget the widths
    // of the columns (the Time column is widened once per run).
    const int rows = m_history.configuredRows(m_unit);
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    m_filled = false;
    m_headingView = m_history.tableView(m_unit);
    emit headerDataChanged(Qt::Horizontal, 0, kHistoryColumns - 1);
    announceAllCells();
}

void HistoryTableModel::Refresh()
{
    m_filled = true;
    m_valueView = m_history.tableView(m_unit);
    announceAllCells();
}

void HistoryTableModel::announceAllCells()
{
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, kHistoryColumns - 1),
                         {Qt::DisplayRole});
}

}  // namespace grainlink
