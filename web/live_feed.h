#pragma once

#include "display/history_store.h"
#include "plant/plant_model.h"
#include "state/item_table.h"
#include "state/unit_state.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace grainlink {

// One open live connection, as the feed writes to it; the socket side implements it.
class LiveStream {
public:
    virtual ~LiveStream() = default;
    // Queues bytes for the client; false when the client has gone or has fallen too far
    // behind, and the stream should be dropped.
    virtual bool send(const QByteArray& bytes) = 0;
    // Ends the connection.
    virtual void close() = 0;
};

// The live updates of the page and of any client that keeps /api/v1/live open: server-sent
// events (text/event-stream), one message per change,
//   event: unit    data: <UnitObject>            a unit's state, values or age source changed
//   event: units   data: {"units":[1,2]}         the list of units shown changed
//   event: status  data: <StatusObject>          the status line changed
//   event: record  data: {"unit":1,"row":<row>}  a record entered the unit's history
//   event: event   data: <EventObject>           an event was added to the event log
// and a comment line every kHeartbeatMs, so that proxies keep the connection and a client
// that has gone is noticed.
//
// A record, an event, the unit list and the status line go out at once; a unit's several
// changes within one turn of the event loop (its values, its state, its RX count) go out as one
// "unit" message at the end of that turn, unless it is no longer shown by then. At most
// kMaxStreams are held; a stream that fails a send is closed and dropped, so one stalled
// client never holds memory for the others.
class LiveFeed : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxStreams = 100;
    static constexpr int kHeartbeatMs = 30000;

    LiveFeed(const PlantModel& plant, const ItemTables& items, const HistoryStore& history,
             const SharedState& state, QObject* parent = nullptr);
    ~LiveFeed() override;

    bool hasRoom() const { return m_streams.size() < kMaxStreams; }
    qsizetype size() const { return m_streams.size(); }
    // Not owned; the socket side removes it before it goes.
    void add(LiveStream* stream);
    void remove(LiveStream* stream);

    // A record entered the unit's history (ServerCore::recordStored).
    void recordStored(int unit);

private:
    void unitChanged(int unit);
    void unitsChanged();
    void statusChanged();
    void eventAdded(const PlantEvent& event);
    void flushUnits();
    void broadcast(const QByteArray& message);

    const PlantModel& m_plant;
    const ItemTables& m_items;
    const HistoryStore& m_history;
    const SharedState& m_state;
    QList<LiveStream*> m_streams;
    QSet<int> m_changedUnits;
    QTimer m_heartbeat;
};

// One server-sent event: "event: <name>\ndata: <data>\n\n"; `data` is one line (compact JSON).
QByteArray ServerSentEvent(const char* name, const QByteArray& data);

}  // namespace grainlink
