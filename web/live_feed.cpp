#include "web/live_feed.h"

#include "server/event_outputs.h"
#include "web/api_documents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace grainlink {
namespace {

QByteArray Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace

QByteArray ServerSentEvent(const char* name, const QByteArray& data)
{
    return QByteArray("event: ") + name + "\ndata: " + data + "\n\n";
}

LiveFeed::LiveFeed(const PlantModel& plant, const ItemTables& items, const HistoryStore& history,
                   const SharedState& state, QObject* parent)
    : QObject(parent), m_plant(plant), m_items(items), m_history(history), m_state(state)
{
    connect(&plant, &PlantModel::unitChanged, this, &LiveFeed::unitChanged);
    connect(&plant, &PlantModel::unitsChanged, this, &LiveFeed::unitsChanged);
    connect(&plant, &PlantModel::statusChanged, this, &LiveFeed::statusChanged);
    connect(&plant.events(), &EventLog::eventAdded, this, &LiveFeed::eventAdded);
    m_heartbeat.setInterval(kHeartbeatMs);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] { broadcast(": heartbeat\n\n"); });
}

LiveFeed::~LiveFeed()
{
    for (LiveStream* stream : std::exchange(m_streams, {})) stream->close();
}

void LiveFeed::add(LiveStream* stream)
{
    m_streams.append(stream);
    if (!m_heartbeat.isActive()) m_heartbeat.start();
}

void LiveFeed::remove(LiveStream* stream)
{
    m_streams.removeAll(stream);
    if (m_streams.isEmpty()) m_heartbeat.stop();
}

void LiveFeed::recordStored(int unit)
{
    if (m_streams.isEmpty()) return;
    const int newest = HistoryCapacity(m_state.BufferSize);
    const QByteArray message = "{\"unit\":" + QByteArray::number(unit) +
                               ",\"row\":" + HistoryRowJson(m_history.row(unit, newest)) + '}';
    broadcast(ServerSentEvent("record", message));
}

void LiveFeed::unitChanged(int unit)
{
    if (m_streams.isEmpty()) return;
    if (m_changedUnits.isEmpty())
        QMetaObject::invokeMethod(this, &LiveFeed::flushUnits, Qt::QueuedConnection);
    m_changedUnits.insert(unit);
}

void LiveFeed::flushUnits()
{
    QList<int> units(m_changedUnits.cbegin(), m_changedUnits.cend());
    m_changedUnits.clear();
    std::sort(units.begin(), units.end());
    // A unit taken off the list within the turn has already gone with the "units" message.
    const QList<int> shown = m_plant.units();
    for (int unit : units) {
        if (!shown.contains(unit)) continue;
        broadcast(ServerSentEvent("unit", Compact(UnitObject(m_plant.unit(unit), m_items[unit]))));
    }
}

void LiveFeed::unitsChanged()
{
    if (m_streams.isEmpty()) return;
    QJsonArray units;
    for (int unit : m_plant.units()) units.append(unit);
    broadcast(ServerSentEvent("units", Compact({{QStringLiteral("units"), units}})));
}

void LiveFeed::statusChanged()
{
    if (!m_streams.isEmpty())
        broadcast(ServerSentEvent("status", Compact(StatusObject(m_plant.status()))));
}

void LiveFeed::eventAdded(const PlantEvent& event)
{
    if (!m_streams.isEmpty()) broadcast(ServerSentEvent("event", Compact(EventObject(event))));
}

void LiveFeed::broadcast(const QByteArray& message)
{
    // A stream closed here may leave the list from inside close(): walk a copy.
    const QList<LiveStream*> streams = m_streams;
    for (LiveStream* stream : streams) {
        if (stream->send(message)) continue;
        remove(stream);
        stream->close();
    }
}

}  // namespace grainlink
