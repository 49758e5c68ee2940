#include "plant/event_log.h"

#include <algorithm>

namespace grainlink {

EventLog::EventLog(qsizetype capacity, QObject* parent)
    : QObject(parent), m_capacity(std::max<qsizetype>(1, capacity))
{
}

void EventLog::add(PlantEvent event)
{
    if (size() == m_capacity) m_events.pop_back();
    event.id = ++m_lastId;
    m_events.push_front(event);
    // A copy: a receiver may add an event of its own, which can drop the one in the log.
    emit eventAdded(event);
}

const PlantEvent* EventLog::find(qint64 id) const
{
    if (m_events.empty()) return nullptr;
    const qint64 row = m_events.front().id - id;
    if (row < 0 || row >= size()) return nullptr;
    return &at(row);
}

QList<PlantEvent> EventLog::events(std::optional<int> unit, const std::optional<QDateTime>& since,
                                   qsizetype limit) const
{
    QList<PlantEvent> found;
    for (const PlantEvent& event : m_events) {
        if (limit >= 0 && found.size() >= limit) break;
        // Not a cut-off: the clock may have been set back between two events.
        if (since && event.time < *since) continue;
        if (!unit || event.unit == *unit) found << event;
    }
    return found;
}

}  // namespace grainlink
