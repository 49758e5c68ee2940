#pragma once

#include <QString>
#include <array>
#include <set>

#include "config/mqtt_settings.h"
#include "platform/clock.h"
#include "platform/retained_messages.h"
#include "server/record_snapshot.h"
#include "state/item_table.h"
#include "state/unit_state.h"

namespace grainlink {

// The units served by the configuration: 1 to NumUnits, those enabled.
std::set<int> ServedUnits(const SharedState& state);

// Publishes what MQTT consumers need beside the item topics, through the same connection:
// - "<root>/UNIT<n>/record", the record snapshot of every framed or demonstration record, and
//   a stale snapshot (no numbers) when the unit's values are marked stale;
// - "<root>/UNIT<n>/availability", "online" while the unit is served and its values are live,
//   "offline" from construction on, while its values are stale or its port is lost, while it is
//   not served, and after shutdown;
// - with discovery on, the Home Assistant configs of every served unit, cleared (empty payloads)
//   for every unit that is not served, so that removing a unit from service removes its sensors.
// All retained, so consumers that connect later and a restarted broker get the current state.
// The acquisition tells it what happened through the three on...() calls.
class MqttUnitPublisher {
public:
    MqttUnitPublisher(const ItemTables& items, const SharedState& state, const Clock& clock,
                      RetainedMessages& out, QString topicRoot, MqttDiscoverySettings discovery);

    // A framed (Live) or demonstration record of the unit was stored in its item table.
    void onRecord(int unit, RecordState state);
    // The unit's values were marked invalid, or its port was lost. The stale snapshot goes out
    // once, not at every marking of a unit that stays silent.
    void onUnitStale(int unit);
    // The units served now (at start-up and after every change of the configuration); also
    // refreshes the discovery configs with the units' current names.
    void onServedUnits(const std::set<int>& units);
    // The server stops: every unit goes offline (before the server's own status does), while
    // the discovery configs stay for the next run.
    void onShutdown();

private:
    void publishSnapshot(int unit, RecordState state);
    void publishAvailability(int unit);
    void publishDiscovery(int unit);

    const ItemTables& m_items;
    const SharedState& m_state;
    const Clock& m_clock;
    RetainedMessages& m_out;
    QString m_topicRoot;
    MqttDiscoverySettings m_discovery;
    std::array<bool, kMaxUnits + 1> m_served{};
    std::array<bool, kMaxUnits + 1> m_live{};
    std::array<bool, kMaxUnits + 1> m_staleSnapshotSent{};
};

}  // namespace grainlink
