#pragma once

#include "config/config_file.h"

namespace grainlink {

// [Options] Overview: a non-zero number opens the overview window at the windowed program's
// start, as --overview does; missing, zero or not a number leaves it to the View menu.
bool OverviewAtStart(const ConfigFile& config);

}  // namespace grainlink
