#pragma once

#include "acquisition/cycle_reports.h"
#include "plant/event_log.h"
#include "plant/unit_view.h"
#include "platform/clock.h"
#include "state/item_table.h"
#include "state/unit_state.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

namespace grainlink {

// The overview's status line: the broker, who is logged on, the data log and demonstration mode.
struct StatusLine {
    bool brokerConnected = false;
    QString brokerDetail;     // the MQTT source's last report; empty before its first
    int16_t accessLevel = 0;  // the level logged on with; 0 while logged off
    bool dataLog = false;
    bool demoMode = false;
};

// "connected to 127.0.0.1:1883"; while not connected the last report with ", retrying" after
// it, or "connecting" before the first report.
QString BrokerText(const StatusLine& status);
// "logged off", "user" or "service".
QString AccessText(int16_t level);

// The plant at a glance, without any window: every unit's state, values, last record and age,
// the status line and the event log. The overview window and the HTTP API read it; the server
// feeds it what happens (the cycle's reports, the records and stale markings, the broker's
// reports, start and stop) and runs settingsChanged() on every tick and after every command
// that may change a setting or the access level.
//
// An event is recorded once per change, never once per tick: a port lost when it is lost, not
// at every failed retry; a unit stale once per silence (however often its port is reopened
// meanwhile) and live again with the instrument's next record; an alarm flag when it is set
// and when it is cleared, compared with the instrument's last record (generated records and the
// invalid markers say nothing about the instrument); a record abandoned once per reason until a
// record comes through.
class PlantModel final : public QObject, public CycleReports {
    Q_OBJECT

public:
    PlantModel(const SharedState& state, const ItemTables& items, const Clock& clock,
               QObject* parent = nullptr);

    // The units shown, in unit order: 1 to NumUnits (at most 4), served or not.
    QList<int> units() const;
    // Units 1 to 4; throws std::out_of_range for any other.
    UnitView unit(int unit) const;
    UnitState state(int unit) const;
    const StatusLine& status() const { return m_status; }
    EventLog& events() { return m_events; }
    const EventLog& events() const { return m_events; }
    QDateTime now() const { return m_clock.now(); }

    // Start-up is complete (the configuration is loaded, the ports are tested): "Server
    // started" with `detail`, then whatever the settings already say (demonstration mode on).
    void serverStarted(const QString& detail);
    void serverStopping();
    // Compares the settings, the access level and the options dialog with what was last seen
    // and records what changed. Nothing before serverStarted().
    void settingsChanged();
    // Once a second: settingsChanged(), then agesChanged().
    void tick();
    // A record was written to the unit's item table: decoded, or `generated` for demonstration.
    void recordStored(int unit, bool generated);
    // The unit's values were marked invalid.
    void valuesInvalid(int unit);
    // The MQTT source's report of a connection change or of a new reason why it cannot connect.
    void brokerChanged(bool connected, const QString& detail);

    void portOpened(int unit) override;
    void portUnavailable(int unit, const QString& reason) override;
    void unitSilent(int unit, int seconds) override;
    void inputDiscarded(int unit, const QString& reason) override;
    void sideFileChanged(int unit, const QString& path, const QString& reason) override;

signals:
    // The unit's state, values, last record, RX count or name changed.
    void unitChanged(int unit);
    // The list of units shown changed (the unit count).
    void unitsChanged();
    void statusChanged();
    // A second went by: ages move on.
    void agesChanged();

private:
    struct Watched {
        UnitFacts facts;
        bool silent = false;          // a silence was recorded, and no record came since
        std::array<bool, 8> flags{};  // of the last record from the instrument, as kAlarmFlags
        bool fault = false;           // of the same record
        QString discarded;            // the last reason recorded, until a record comes through
        std::optional<QDateTime> lastRecord;
        QString name;
        UnitState announced = UnitState::Disabled;
    };

    Watched& watched(int unit);
    const Watched& watched(int unit) const;
    void record(int unit, const QString& event, const QString& detail,
                EventSeverity severity = EventSeverity::Info);
    void compareFlags(int unit);
    void recordBroker();
    void syncUnits();
    void announce(int unit);

    const SharedState& m_state;
    const ItemTables& m_items;
    const Clock& m_clock;
    EventLog m_events;
    StatusLine m_status;
    std::array<Watched, kMaxUnits + 1> m_units{};
    int m_shownUnits = 0;
    bool m_optionsOpen = false;
    bool m_started = false;
    bool m_stopping = false;
};

}  // namespace grainlink
