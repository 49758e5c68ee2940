#pragma once

#include "config/config_file.h"

namespace grainlink {

// [Options] "Graph tip": "1" once the user has asked not to see the graph tip again. The two
// graph commands read it with different defaults: "0" for one unit's table (the tip shows on a
// fresh installation), "1" for all tables (it does not).
inline constexpr const char* kGraphTipDefaultOneUnit = "0";
inline constexpr const char* kGraphTipDefaultAllUnits = "1";

// Whether the key, or `defaultValue` when it is missing, reads as the integer 0. A text that is
// not a number reads as 0.
bool GraphTipWanted(const ConfigFile& config, const QByteArray& defaultValue);

// Stores the "Dont show again." box: "1" when ticked, "0" when not.
bool WriteGraphTipDismissed(ConfigFile& config, bool dismissed);

}  // namespace grainlink
