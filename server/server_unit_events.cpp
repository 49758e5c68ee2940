#include "server/server_unit_events.h"

#include "server/unit_status.h"

#include <utility>

namespace grainlink {

ServerUnitEvents::ServerUnitEvents(SharedState& state, ItemTables& items, DataLog& log,
                                   UnitEventHooks hooks)
    : m_items(items),
      m_log(log),
      m_hooks(std::move(hooks)),
      m_decoder(state, items, [this](int unit) { LogData(unit); }),
      m_demo(state)
{
}

bool ServerUnitEvents::DecodeRecord(int unit)
{
    return m_decoder.DecodeRecord(unit);
}

void ServerUnitEvents::MarkUnitInvalid(int unit)
{
    if (unit < 1 || unit > kMaxUnits) return;
    grainlink::MarkUnitInvalid(m_items[unit]);
    if (m_hooks.markedStale) m_hooks.markedStale(unit);
}

void ServerUnitEvents::MakeDemoRecord(int unit)
{
    m_demo.MakeDemoRecord(unit, m_items);
    if (unit >= 1 && unit <= kMaxUnits) m_generated[unit] = true;
}

void ServerUnitEvents::LogData(int unit)
{
    // Every record, decoded or generated, ends here once its items are written.
    m_log.LogData(unit);
    if (unit < 1 || unit > kMaxUnits) return;
    const bool generated = std::exchange(m_generated[unit], false);
    if (m_hooks.recordStored) m_hooks.recordStored(unit, generated);
}

}  // namespace grainlink
