#pragma once

#include "acquisition/acquisition_cycle.h"
#include "acquisition/com_ports.h"
#include "acquisition/comms_panel.h"
#include "config/config_file.h"
#include "display/history_store.h"
#include "plant/plant_model.h"
#include "platform/clock.h"
#include "platform/dde_source.h"
#include "platform/error_notice.h"
#include "platform/message_box.h"
#include "platform/profile_file.h"
#include "server/data_log.h"
#include "server/dde_publisher.h"
#include "server/server_unit_events.h"
#include "state/item_table.h"
#include "state/unit_state.h"

#include <QObject>
#include <QTimer>

namespace grainlink {

// What the server runs on; the application passes the real ones, tests their own.
struct ServerServices {
    ProfileFile& profile;
    DdeSource& dde;
    MessageBox& messageBox;
    ErrorNotice& notice;
    const Clock& clock;
    ComPorts::Factory makePort;
};

// The server without any window: shared state, item tables, histories, communications panel,
// serial ports, the acquisition tick, the data log, the DDE items and the plant model (unit
// states and the event log). The main window and the headless mode are views over it.
class ServerCore : public QObject {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = 1000;

    explicit ServerCore(const ServerServices& services, QObject* parent = nullptr);

    // The start-up: loads the configuration, prepares the histories and their tables, creates
    // missing data log files, tests the ports, fills the panel and the flow factors, then starts
    // the tick, whose first run opens the ports.
    void start();
    // Stops the tick and closes every open port ("Server stopping" in the event log).
    void shutdown();
    // One run of the tick: the plant model looks at the settings, then the acquisition cycle.
    void runTick();

    SharedState& state() { return m_state; }
    ItemTables& items() { return m_items; }
    HistoryStore& history() { return m_history; }
    CommsPanel& panel() { return m_panel; }
    PlantModel& plant() { return m_plant; }
    ConfigFile& config() { return m_config; }
    AcquisitionCycle& cycle() { return m_cycle; }
    MessageBox& messageBox() { return m_messageBox; }
    const Clock& clock() const { return m_clock; }
    QTimer& tick() { return m_tick; }

signals:
    // A decoded or (`generated`) demonstration record of the unit went through the data log.
    void recordStored(int unit, bool generated);
    // The unit's values were marked invalid (at port opening, silence or a lost port).
    void unitMarkedStale(int unit);

private:
    void ShowDisabledPorts();

    ConfigFile m_config;
    MessageBox& m_messageBox;
    const Clock& m_clock;
    SharedState m_state;
    ItemTables m_items;
    CommsPanel m_panel;
    PlantModel m_plant;
    ComPorts m_ports;
    HistoryStore m_history;
    DataLog m_dataLog;
    ServerUnitEvents m_events;
    AcquisitionCycle m_cycle;
    DdePublisher m_publisher;
    QTimer m_tick;
};

}  // namespace grainlink
