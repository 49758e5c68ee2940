#include "server/server_core.h"

#include "acquisition/side_file_report.h"
#include "server/port_test.h"
#include "server/startup.h"

namespace grainlink {

ServerCore::ServerCore(const ServerServices& services, QObject* parent)
    : QObject(parent),
      m_config(services.profile),
      m_messageBox(services.messageBox),
      m_ports(services.makePort),
      m_dataLog(m_state, m_items, m_history, services.clock,
                MessageLineReporter(m_panel, services.clock)),
      m_events(m_state, m_items, m_dataLog,
               UnitEventHooks{
                   [this](int unit, bool generated) { emit recordStored(unit, generated); },
                   [this](int unit) { emit unitMarkedStale(unit); }}),
      m_cycle(m_state, m_ports, m_panel, services.clock, m_events, services.notice),
      m_publisher(m_items, services.dde)
{
    m_tick.setObjectName(QStringLiteral("tmr_tick"));
    m_tick.setInterval(kTickIntervalMs);
    connect(&m_tick, &QTimer::timeout, this, [this] { m_cycle.Tick(); });
}

void ServerCore::start()
{
    ResetTableViews(m_history);
    LoadConfiguration(m_state, m_config, m_panel, m_messageBox);
    ClearHistories(m_history, m_state.BufferSize);
    ConfigureTables(m_history, m_state.BufferSize);
    CreateMissingLogFiles(m_state);
    m_events.demo().ResetDemoState();
    if (TestPortsAtStartUp(m_state, m_ports, m_messageBox, m_cycle)) ShowDisabledPorts();
    LoadFlowFactors(m_config, m_items);
    m_state.RequestPortReopen();
    m_tick.start();
}

void ServerCore::ShowDisabledPorts()
{
    // The panel was filled before the port test; a unit it disabled must not read "(Enabled)".
    try {
        RefreshCommsPanel(m_state, m_panel);
    } catch (const std::out_of_range&) {
        // A unit count outside 1..4 was reported while loading.
    }
}

void ServerCore::shutdown()
{
    m_tick.stop();
    m_cycle.CloseAllPorts();
}

}  // namespace grainlink
