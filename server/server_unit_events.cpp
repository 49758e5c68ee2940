#include "server/server_unit_events.h"

namespace grainlink {

ServerUnitEvents::ServerUnitEvents(const SharedState& state, ItemTables& items, DataLog& log)
    : m_log(log), m_decoder(state, items, [this](int unit) { LogData(unit); })
{
}

void ServerUnitEvents::DecodeRecord(int unit)
{
    m_decoder.DecodeRecord(unit);
}

void ServerUnitEvents::MarkUnitInvalid(int /*unit*/)
{
    // Marking a silent unit's values "-1" arrives with the unit status display.
}

void ServerUnitEvents::MakeDemoRecord(int /*unit*/)
{
    // Demonstration records arrive with the demonstration data.
}

void ServerUnitEvents::LogData(int unit)
{
    m_log.LogData(unit);
}

}  // namespace grainlink
