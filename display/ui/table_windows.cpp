#include "display/ui/table_windows.h"

#include "config/graph_tip.h"
#include "display/ui/graph_tip_window.h"

namespace grainlink {

TableWindows::TableWindows(HistoryStore& history, const SharedState& state, ConfigFile& config)
    : m_state(state),
      m_config(config),
      m_windows([&](int unit) {
          auto window = std::make_unique<TableWindow>(history, state, unit);
          QObject::connect(window.get(), &TableWindow::closeAllRequested, window.get(),
                           [this] { closeAll(); });
          return window;
      })
{
}

TableWindows::~TableWindows() = default;

TableWindow& TableWindows::window(int unit)
{
    return m_windows[unit];
}

void TableWindows::showTableWindow(int unit)
{
    ShowGraphTipIfWanted(m_config, kGraphTipDefaultOneUnit);
    m_windows.showInFront(unit);
}

void TableWindows::showAllTableWindows()
{
    ShowGraphTipIfWanted(m_config, kGraphTipDefaultAllUnits);
    m_windows.showServed(m_state.NumUnits);
}

void TableWindows::closeAll()
{
    for (const auto& window : m_windows) window->hide();
}

}  // namespace grainlink
