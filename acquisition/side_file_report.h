#pragma once

#include "acquisition/comms_panel.h"
#include "acquisition/cycle_reports.h"
#include "acquisition/side_file.h"
#include "platform/clock.h"

namespace grainlink {

// How a side file's trouble reaches the operator, the same for every side file (raw data, data
// log): on the unit's message line, after the date and time like the line's other texts, as a
// warning on standard error, where a server without a window is watched, and to `reports`
// (the event log).
SideFileWriter::Reporter MessageLineReporter(CommsPanel& panel, const Clock& clock,
                                             CycleReports& reports);

}  // namespace grainlink
