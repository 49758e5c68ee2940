#pragma once

#include "acquisition/acquisition_cycle.h"
#include "acquisition/com_ports.h"
#include "platform/message_box.h"
#include "state/unit_state.h"

namespace grainlink {

// The start-up port test: the port of every enabled unit 1..NumUnits is opened once and closed
// again, so that a setting that can never work is found before acquisition starts. A port
// number that stands for no device on this machine is reported ("Bad communication port
// number (n)- port disabled") and its unit is disabled for this run (the INI file keeps its
// setting). A device that exists in the settings but cannot be opened now (not plugged in yet,
// busy) is reported once, saying that the unit will be served as soon as it can be opened; the
// unit stays enabled and the acquisition tick keeps trying it without reporting it again.
// True when a unit was disabled.
bool TestPortsAtStartUp(SharedState& state, const ComPorts& ports, MessageBox& messages,
                        AcquisitionCycle& cycle);

}  // namespace grainlink
