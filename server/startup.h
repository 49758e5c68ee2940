#pragma once

#include "acquisition/comms_panel.h"
#include "acquisition/unit_state.h"
#include "config/config_file.h"
#include "display/item_table.h"
#include "platform/message_box.h"

namespace grainlink {

// Reads every setting of GRAINLINK.INI into the shared state with its capacity, default and
// fallback, then refreshes the communications panel. A value that cannot be converted shows
// "Error whilst loading configuration data  (" + step + ")" and loading goes on.
void LoadConfiguration(SharedState& state, const ConfigFile& config, CommsPanel& panel,
                       MessageBox& messageBox);

// Sets ProductName and HardwareName from [Product_Info].
void ReadProductInfo(SharedState& state, const ConfigFile& config);

// While PortsReady is false: sets MessageTime from [Settings] "Message time" and returns true.
bool ReadMessageTime(SharedState& state, const ConfigFile& config);

// Captions of the unit frames and which units are shown (1..NumUnits). Throws
// std::out_of_range when NumUnits is outside 1..4.
void RefreshCommsPanel(const SharedState& state, CommsPanel& panel);

// Puts each unit's stored flow factor into its txt_flow_factor item.
void LoadFlowFactors(const ConfigFile& config, ItemTables& items);

}  // namespace grainlink
