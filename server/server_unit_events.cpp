#include "server/server_unit_events.h"

#include "server/unit_status.h"

namespace grainlink {

ServerUnitEvents::ServerUnitEvents(SharedState& state, ItemTables& items, DataLog& log)
    : m_items(items),
      m_log(log),
      m_decoder(state, items, [this](int unit) { LogData(unit); }),
      m_demo(state)
{
}

void ServerUnitEvents::DecodeRecord(int unit)
{
    m_decoder.DecodeRecord(unit);
}

void ServerUnitEvents::MarkUnitInvalid(int unit)
{
    if (unit >= 1 && unit <= kMaxUnits) grainlink::MarkUnitInvalid(m_items[unit]);
}

void ServerUnitEvents::MakeDemoRecord(int unit)
{
    m_demo.MakeDemoRecord(unit, m_items);
}

void ServerUnitEvents::LogData(int unit)
{
    m_log.LogData(unit);
}

}  // namespace grainlink
