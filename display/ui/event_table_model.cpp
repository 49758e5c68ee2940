#include "display/ui/event_table_model.h"

#include "plant/unit_view.h"
#include "platform/clock.h"

#include <QApplication>
#include <QStyle>

namespace grainlink {

EventTableModel::EventTableModel(const EventLog& log, QObject* parent)
    : QAbstractTableModel(parent),
      m_log(log),
      m_warningIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
{
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &EventTableModel::refresh);
    connect(&m_log, &EventLog::eventAdded, this, [this] {
        if (!m_refreshTimer.isActive()) m_refreshTimer.start();
    });
    setUnitFilter(std::nullopt);
}

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const PlantEvent* EventTableModel::eventAt(int row) const
{
    if (row < 0 || row >= rowCount()) return nullptr;
    return m_log.find(m_ids[static_cast<size_t>(row)]);
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    const PlantEvent* shown = index.isValid() ? eventAt(index.row()) : nullptr;
    if (!shown) return {};
    if (role == Qt::DecorationRole && index.column() == EventColumn &&
        shown->severity == EventSeverity::Warning)
        return m_warningIcon;
    // A long name or detail can be wider than its column: the tip shows it whole.
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case TimeColumn:
            return GeneralDateText(shown->time);
        case UnitColumn:
            return UnitLabel(shown->unit, shown->unitName);
        case EventColumn:
            return shown->event;
        case DetailColumn:
            return shown->detail;
        default:
            return {};
    }
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case TimeColumn:
            return QStringLiteral("Time");
        case UnitColumn:
            return QStringLiteral("Unit");
        case EventColumn:
            return QStringLiteral("Event");
        case DetailColumn:
            return QStringLiteral("Detail");
        default:
            return {};
    }
}

bool EventTableModel::shows(const PlantEvent& event) const
{
    return !m_filter || event.unit == *m_filter;
}

void EventTableModel::setUnitFilter(std::optional<int> unit)
{
    beginResetModel();
    m_filter = unit;
    m_ids.clear();
    for (qsizetype row = 0; row < m_log.size(); ++row)
        if (shows(m_log.at(row))) m_ids.push_back(m_log.at(row).id);
    m_newestSeen = m_log.size() > 0 ? m_log.at(0).id : m_newestSeen;
    endResetModel();
}

void EventTableModel::refresh()
{
    m_refreshTimer.stop();
    dropForgottenEvents();
    takeNewEvents();
}

void EventTableModel::dropForgottenEvents()
{
    if (m_ids.empty()) return;
    const qint64 oldestHeld = m_log.size() > 0 ? m_log.at(m_log.size() - 1).id : m_newestSeen + 1;
    size_t kept = m_ids.size();
    while (kept > 0 && m_ids[kept - 1] < oldestHeld) --kept;
    if (kept == m_ids.size()) return;
    beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(m_ids.size()) - 1);
    m_ids.resize(kept);
    endRemoveRows();
}

void EventTableModel::takeNewEvents()
{
    if (m_log.size() == 0) return;
    std::deque<qint64> added;
    for (qsizetype row = 0; row < m_log.size() && m_log.at(row).id > m_newestSeen; ++row)
        if (shows(m_log.at(row))) added.push_back(m_log.at(row).id);
    m_newestSeen = m_log.at(0).id;
    if (added.empty()) return;
    beginInsertRows({}, 0, static_cast<int>(added.size()) - 1);
    m_ids.insert(m_ids.begin(), added.begin(), added.end());
    endInsertRows();
}

}  // namespace grainlink
