#pragma once

#include "acquisition/comms_panel.h"
#include "config/config_file.h"
#include "display/history_store.h"
#include "platform/message_box.h"
#include "state/item_table.h"
#include "state/unit_state.h"

namespace grainlink {

// Reads every setting of GRAINLINK.INI into the shared state with its capacity, default and
// fallback, in the start-up order: units, product info, logging, buffer size, security, unit
// count with the panel refresh, message time. A value that cannot be converted shows
// "Error whilst loading configuration data  (" + step + ")" (no icon) and loading goes on;
// the value keeps what it had. Security off logs the user in at access level 1.
void LoadConfiguration(SharedState& state, const ConfigFile& config, CommsPanel& panel,
                       MessageBox& messageBox);

// Sets ProductName and HardwareName from [Product_Info].
void ReadProductInfo(SharedState& state, const ConfigFile& config);

// While PortsReady is false: sets MessageTime from [Settings] "Message time" and returns true.
// A missing key gives 600; a text that is not numeric, or too large for 16 bits, gives 60.
bool ReadMessageTime(SharedState& state, const ConfigFile& config);

// Captions of the unit frames and which units are shown (1..NumUnits). All four captions are
// set first; then throws std::out_of_range when NumUnits is outside 1..4.
void RefreshCommsPanel(const SharedState& state, CommsPanel& panel);

// No Time column widened yet, every table in the Codes view (units 1..4).
void ResetTableViews(HistoryStore& history);

// Empties rows 1..bufferSize of units 1..4.
void ClearHistories(HistoryStore& history, int32_t bufferSize);

// ConfigureView, then RefreshHistory, of units 1..4: grids and charts set up for bufferSize rows.
void ConfigureTables(HistoryStore& history, int32_t bufferSize);

// Puts each unit's stored flow factor into its txt_flow_factor item.
void LoadFlowFactors(const ConfigFile& config, ItemTables& items);

}  // namespace grainlink
