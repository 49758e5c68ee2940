#pragma once

#include "acquisition/comms_panel.h"
#include "acquisition/side_file.h"
#include "platform/clock.h"

namespace grainlink {

// Reports side file trouble where the operator looks: the unit's message line (lbl_msg) shows
// the date and time, a blank and the text, and standard error gets "Unit <n>: " and the text,
// so that a server without windows, or one whose message line is soon overwritten, still tells.
SideFileWriter::Reporter PanelReporter(CommsPanel& panel, const Clock& clock);

}  // namespace grainlink
