#pragma once

#include "display/ui/data_window.h"
#include "display/ui/unit_window_set.h"
#include "state/unit_state.h"

namespace grainlink {

class ItemTables;

// Owns the four unit data windows, frm_data1 to frm_data4. They are created hidden with the
// owner and live as long as it does, so hiding never loses a window; the owner also carries out
// the commands that concern all of them.
class DataWindows {
public:
    // `mqttTopicRoot` is the first level of the topics the values are published under.
    DataWindows(ItemTables& items, SharedState& state, ConfigFile& config, MessageBox& messages,
                const QString& mqttTopicRoot);
    ~DataWindows();

    // Throws std::out_of_range for a unit outside 1..4.
    DataWindow& window(int unit);

    // Shows unit's window, not modally, in front and active.
    void showDataWindow(int unit);
    // Shows the windows of the configured units, 1 to NumUnits, letting each one settle.
    void showAllDataWindows();
    // Close all: every window that is ready to close hides, the others say so and stay.
    void closeAll();

private:
    const SharedState& m_state;
    UnitWindowSet<DataWindow> m_windows;
};

}  // namespace grainlink
