#include "display/ui/data_windows.h"

#include <QCoreApplication>
#include <stdexcept>

namespace grainlink {

DataWindows::DataWindows(ItemTables& items, SharedState& state, ConfigFile& config,
                         MessageBox& messages)
    : m_state(state)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        auto window = std::make_unique<DataWindow>(items[unit], state, config, messages);
        QObject::connect(window.get(), &DataWindow::closeAllRequested, window.get(),
                         [this] { closeAll(); });
        m_windows[unit - 1] = std::move(window);
    }
}

DataWindows::~DataWindows() = default;

DataWindow& DataWindows::window(int unit)
{
    if (unit < 1 || unit > kMaxUnits) throw std::out_of_range("unit outside 1..4");
    return *m_windows[unit - 1];
}

void DataWindows::showDataWindow(int unit)
{
    DataWindow& shown = window(unit);
    shown.show();
    shown.raise();
    shown.activateWindow();
}

void DataWindows::showAllDataWindows()
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        if (m_state.NumUnits >= unit) showDataWindow(unit);
        QCoreApplication::processEvents();
    }
}

void DataWindows::closeAll()
{
    for (const auto& window : m_windows)
        if (window->ReadyToClose()) window->hide();
}

}  // namespace grainlink
