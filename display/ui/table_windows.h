#pragma once

#include "display/ui/table_window.h"
#include "display/ui/unit_window_set.h"
#include "state/unit_state.h"

namespace grainlink {

class ConfigFile;

// Owns the four table windows, frm_table1 to frm_table4. They are created hidden with the owner
// and live as long as it does; the owner carries out the commands that concern several of them
// and the graph tip that comes before showing them.
class TableWindows {
public:
    TableWindows(HistoryStore& history, const SharedState& state, ConfigFile& config);
    ~TableWindows();

    // Throws std::out_of_range for a unit outside 1..4.
    TableWindow& window(int unit);

    // "Unit n table / graph": the tip first unless dismissed (shown when the key is missing),
    // then unit's window, not modally, in front.
    void showTableWindow(int unit);
    // "Show All table / graphs": the tip first only when the key says so, then the windows of
    // units 1 to NumUnits, letting each one settle.
    void showAllTableWindows();
    // Close All: hides every table window.
    void closeAll();

private:
    const SharedState& m_state;
    ConfigFile& m_config;
    UnitWindowSet<TableWindow> m_windows;
};

}  // namespace grainlink
