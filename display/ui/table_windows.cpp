#include "display/ui/table_windows.h"

#include <QCoreApplication>

#include <stdexcept>

#include "config/graph_tip.h"
#include "display/ui/graph_tip_window.h"

namespace grainlink {

TableWindows::TableWindows(HistoryStore& history, const SharedState& state, ConfigFile& config)
    : m_state(state), m_config(config)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        auto window = std::make_unique<TableWindow>(history, state, unit);
        QObject::connect(window.get(), &TableWindow::closeAllRequested, window.get(),
                         [this] { closeAll(); });
        m_windows[unit - 1] = std::move(window);
    }
}

TableWindows::~TableWindows() = default;

TableWindow& TableWindows::window(int unit)
{
    if (unit < 1 || unit > kMaxUnits) throw std::out_of_range("unit outside 1..4");
    return *m_windows[unit - 1];
}

void TableWindows::show(int unit)
{
    TableWindow& shown = window(unit);
    shown.show();
    shown.raise();
    shown.activateWindow();
}

void TableWindows::showTableWindow(int unit)
{
    ShowGraphTipIfWanted(m_config, kGraphTipDefaultOneUnit);
    show(unit);
}

void TableWindows::showAllTableWindows()
{
    ShowGraphTipIfWanted(m_config, kGraphTipDefaultAllUnits);
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        if (m_state.NumUnits >= unit) show(unit);
        QCoreApplication::processEvents();
    }
}

void TableWindows::closeAll()
{
    for (const auto& window : m_windows) window->hide();
}

}  // namespace grainlink
