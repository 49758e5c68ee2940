#include "server/mqtt_unit_publisher.h"

#include <algorithm>
#include <utility>

#include "server/ha_discovery.h"
#include "server/unit_topics.h"

namespace grainlink {
namespace {

bool IsUnit(int unit)
{
    return unit >= 1 && unit <= kMaxUnits;
}

}  // namespace

std::set<int> ServedUnits(const SharedState& state)
{
    std::set<int> units;
    for (int unit = 1; unit <= std::min<int>(state.NumUnits, kMaxUnits); ++unit)
        if (state.UnitEnabled[unit]) units.insert(unit);
    return units;
}

MqttUnitPublisher::MqttUnitPublisher(const ItemTables& items, const SharedState& state,
                                     const Clock& clock, RetainedMessages& out, QString topicRoot,
                                     MqttDiscoverySettings discovery)
    : m_items(items),
      m_state(state),
      m_clock(clock),
      m_out(out),
      m_topicRoot(std::move(topicRoot)),
      m_discovery(std::move(discovery))
{
    // A previous run may have left "online" behind: it was not served by this one yet.
    for (int unit = 1; unit <= kMaxUnits; ++unit) publishAvailability(unit);
}

void MqttUnitPublisher::onRecord(int unit, RecordState state)
{
    if (!IsUnit(unit)) return;
    publishSnapshot(unit, state);
    m_live[unit] = true;
    publishAvailability(unit);
}

void MqttUnitPublisher::onUnitStale(int unit)
{
    if (!IsUnit(unit)) return;
    if (!m_staleSnapshotSent[unit]) publishSnapshot(unit, RecordState::Stale);
    m_live[unit] = false;
    publishAvailability(unit);
}

void MqttUnitPublisher::onServedUnits(const std::set<int>& units)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        const bool served = units.contains(unit);
        // A unit taken into service has no live values until its first record.
        if (served != m_served[unit]) m_live[unit] = false;
        m_served[unit] = served;
        publishAvailability(unit);
        if (m_discovery.enabled) publishDiscovery(unit);
    }
}

void MqttUnitPublisher::onShutdown()
{
    // The values stay as they were: only their availability ends.
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        m_live[unit] = false;
        publishAvailability(unit);
    }
}

void MqttUnitPublisher::publishSnapshot(int unit, RecordState state)
{
    m_out.setRetained(UnitTopic(m_topicRoot, unit, QStringLiteral("record")),
                      RecordSnapshot(m_items[unit], m_state.UnitName[unit], m_clock.now(), state));
    m_staleSnapshotSent[unit] = state == RecordState::Stale;
}

void MqttUnitPublisher::publishAvailability(int unit)
{
    const bool online = m_served[unit] && m_live[unit];
    m_out.setRetained(UnitTopic(m_topicRoot, unit, QStringLiteral("availability")),
                      online ? QByteArrayLiteral("online") : QByteArrayLiteral("offline"));
}

void MqttUnitPublisher::publishDiscovery(int unit)
{
    if (!m_served[unit]) {
        for (const QString& topic : DiscoveryTopics(m_discovery.prefix, m_topicRoot, unit))
            m_out.setRetained(topic, {});
        return;
    }
    const DiscoveryUnit described{m_topicRoot, unit, m_state.UnitName[unit], m_state.HardwareName};
    for (const RetainedMessage& config : DiscoveryConfigs(m_discovery.prefix, described))
        m_out.setRetained(config.topic, config.payload);
}

}  // namespace grainlink
