#pragma once

#include "acquisition/record_decoder.h"
#include "acquisition/unit_events.h"
#include "server/data_log.h"
#include "server/demo_data.h"

#include <array>
#include <functional>

namespace grainlink {

// Who is told, beyond the windows, that a unit's values changed as a whole.
struct UnitEventHooks {
    // A decoded record, or a generated demonstration record.
    std::function<void(int unit, bool generated)> recordStored;
    std::function<void(int unit)> markedStale;  // its values were marked invalid
};

// Where the acquisition cycle's hand-offs land in the server.
class ServerUnitEvents final : public UnitEvents {
public:
    ServerUnitEvents(SharedState& state, ItemTables& items, DataLog& log,
                     UnitEventHooks hooks = {});

    bool DecodeRecord(int unit) override;
    void MarkUnitInvalid(int unit) override;
    void MakeDemoRecord(int unit) override;
    void LogData(int unit) override;

    DemoData& demo() { return m_demo; }

private:
    ItemTables& m_items;
    DataLog& m_log;
    UnitEventHooks m_hooks;
    RecordDecoder m_decoder;
    DemoData m_demo;
    std::array<bool, kMaxUnits + 1> m_generated{};  // the record on its way to LogData
};

}  // namespace grainlink
