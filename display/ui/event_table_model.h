#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QTimer>

#include <deque>
#include <optional>

#include "plant/event_log.h"

namespace grainlink {

// The overview's event list (grd_events) as a model over the bounded event log: columns Time,
// Unit, Event, Detail, newest first, all events or those of one unit. The log can take many
// events in one turn of the event loop (a tick that finds every port gone, a broker outage),
// so the rows follow it once the burst is over rather than once per event: each refresh
// inserts what came at the top and removes what the log dropped at the bottom, so a view keeps
// its columns, selection and scroll position. Cells are formatted only when they are shown,
// and the model keeps nothing of an event but its id.
class EventTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, UnitColumn, EventColumn, DetailColumn, ColumnCount };
    explicit EventTableModel(const EventLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Only the events of `unit` (0: those of the whole server), or all of them.
    void setUnitFilter(std::optional<int> unit);
    std::optional<int> unitFilter() const { return m_filter; }
    // The event shown in `row`, or none for a row out of range.
    const PlantEvent* eventAt(int row) const;
    // Brings the rows up to the log now, as the next turn of the event loop after an event does.
    void refresh();

private:
    bool shows(const PlantEvent& event) const;
    void takeNewEvents();
    void dropForgottenEvents();

    const EventLog& m_log;
    std::optional<int> m_filter;
    std::deque<qint64> m_ids;  // the events shown, newest first
    qint64 m_newestSeen = 0;
    QTimer m_refreshTimer;
    QIcon m_warningIcon;
};

}  // namespace grainlink
