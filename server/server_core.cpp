#include "server/server_core.h"

#include "acquisition/side_file_report.h"
#include "server/build_info.h"
#include "server/port_test.h"
#include "server/startup.h"

namespace grainlink {

ServerCore::ServerCore(const ServerServices& services, QObject* parent)
    : QObject(parent),
      m_config(services.profile),
      m_messageBox(services.messageBox),
      m_clock(services.clock),
      m_plant(m_state, m_items, services.clock),
      m_ports(services.makePort),
      m_dataLog(m_state, m_items, m_history, services.clock,
                MessageLineReporter(m_panel, services.clock, m_plant)),
      m_events(m_state, m_items, m_dataLog,
               UnitEventHooks{.recordStored =
                                  [this](int unit, bool generated) {
                                      m_plant.recordStored(unit, generated);
                                      emit recordStored(unit, generated);
                                  },
                              .markedStale =
                                  [this](int unit) {
                                      m_plant.valuesInvalid(unit);
                                      emit unitMarkedStale(unit);
                                  }}),
      m_cycle(m_state, m_ports, m_panel, services.clock, m_events, services.notice, m_plant),
      m_publisher(m_items, services.dde)
{
    m_tick.setObjectName(QStringLiteral("tmr_tick"));
    m_tick.setInterval(kTickIntervalMs);
    connect(&m_tick, &QTimer::timeout, this, &ServerCore::runTick);
}

void ServerCore::runTick()
{
    m_plant.tick();
    m_cycle.Tick();
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
    m_plant.serverStarted(VersionText());
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
    m_plant.serverStopping();
    m_tick.stop();
    m_cycle.CloseAllPorts();
}

}  // namespace grainlink
