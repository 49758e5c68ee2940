#include "display/ui/data_windows.h"

namespace grainlink {

DataWindows::DataWindows(ItemTables& items, SharedState& state, ConfigFile& config,
                         MessageBox& messages, const QString& mqttTopicRoot)
    : m_state(state),
      m_windows([&](int unit) {
          auto window =
              std::make_unique<DataWindow>(items[unit], state, config, messages, mqttTopicRoot);
          QObject::connect(window.get(), &DataWindow::closeAllRequested, window.get(),
                           [this] { closeAll(); });
          return window;
      })
{
}

DataWindows::~DataWindows() = default;

DataWindow& DataWindows::window(int unit)
{
    return m_windows[unit];
}

void DataWindows::showDataWindow(int unit)
{
    m_windows.showInFront(unit);
}

void DataWindows::showAllDataWindows()
{
    m_windows.showServed(m_state.NumUnits);
}

void DataWindows::closeAll()
{
    for (const auto& window : m_windows)
        if (window->ReadyToClose()) window->hide();
}

}  // namespace grainlink
