#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <optional>

namespace grainlink {

// How much an event asks of the operator: a warning is trouble (a port lost, an alarm, a file
// failing), information is the rest.
enum class EventSeverity { Info, Warning };

// One entry of the event log.
struct PlantEvent {
    qint64 id = 0;  // 1 for the first event of the run, one more for each following
    QDateTime time{};
    int unit = 0;        // 0: the whole server
    QString unitName{};  // the unit's name when the event happened
    QString event{};     // "Port lost"
    QString detail{};    // "cannot open /dev/ttyUSB0: No such file or directory"; may be empty
    EventSeverity severity = EventSeverity::Info;
};

// The events of the run, newest first, bounded: once `capacity` events are held, each new one
// drops the oldest, so that a server running for months keeps a steady memory. Every event
// added is announced with eventAdded(), which the outputs (file, MQTT, standard error) and the
// views follow.
class EventLog : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kDefaultCapacity = 10000;

    explicit EventLog(qsizetype capacity = kDefaultCapacity, QObject* parent = nullptr);

    qsizetype capacity() const { return m_capacity; }
    qsizetype size() const { return static_cast<qsizetype>(m_events.size()); }
    // 0 is the newest.
    const PlantEvent& at(qsizetype row) const { return m_events.at(static_cast<size_t>(row)); }
    // The event with this id while the log holds it, without a search: the ids held are
    // consecutive, newest first.
    const PlantEvent* find(qint64 id) const;

    // Adds an event at the front, with the next id, and announces it.
    void add(PlantEvent event);

    // The events held, newest first: only those of `unit` when given (0: those of the whole
    // server), only those at or after `since` when given, at most `limit` (the newest) when
    // it is not negative.
    QList<PlantEvent> events(std::optional<int> unit = std::nullopt,
                             const std::optional<QDateTime>& since = std::nullopt,
                             qsizetype limit = -1) const;

signals:
    // After the event was added (and, when the log was full, after the oldest was dropped).
    void eventAdded(const grainlink::PlantEvent& event);

private:
    qsizetype m_capacity;
    std::deque<PlantEvent> m_events;
    qint64 m_lastId = 0;
};

}  // namespace grainlink
