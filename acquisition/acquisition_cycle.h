#pragma once

#include "acquisition/com_ports.h"
#include "acquisition/comms_panel.h"
#include "acquisition/cycle_reports.h"
#include "acquisition/side_file.h"
#include "acquisition/unit_events.h"
#include "platform/clock.h"
#include "platform/error_notice.h"
#include "state/unit_state.h"

#include <optional>

namespace grainlink {

// The one-second acquisition tick (`tmr_tick`): opens the enabled units' ports when asked to,
// counts each unit's watchdog down, collects waiting input and frames a message once the line
// has been silent for two ticks (`CheckMessage`). A framed message is counted, shown, appended
// to the unit's raw data file and handed on for decoding. The raw data file is a side record: a
// file that cannot take the message is reported on the unit's message line (once, and again
// when it works again) and the message is decoded all the same.
//
// Timing: input first seen at tick k is read from tick k+1 on; a burst complete by tick k+1 is
// framed at tick k+3; a unit that never pauses for two ticks is abandoned at tick k+5, and one
// that sends more than kMaxMessageBytes before a pause is cut off at once, so that a flooded
// line neither grows without bound nor slows the other units.
//
// Every failure inside a tick is trapped here: the failing step is skipped, `PortError` is set
// and the error notice is raised with the unit, its device and the reason. A unit whose device
// fails to open or vanishes is reported once per outage, marked invalid with "port unavailable,
// retrying" on its message line and reopened on its own every few ticks until the device is
// back, when the notice is told it has recovered; the other units' ports are left alone.
//
// Beside the panel, every such occurrence (a port opened or unavailable, a silence, input
// thrown away, a side file failing or working again) goes to the cycle's reports.
class AcquisitionCycle {
public:
    static constexpr int kReceiveWatchdog = 5;   // ticks a message may keep arriving
    static constexpr int kReopenInterval = 5;    // ticks between reopen attempts of a lost port
    static constexpr int kMaxRxCount = 10000;
    // A record is a few hundred characters and a 9600-baud line carries under a thousand a
    // second: a unit that sends more than this without a pause is not an instrument talking.
    static constexpr qsizetype kMaxMessageBytes = 16384;
    static constexpr const char* kLineSettings = "9600,n,8,1";

    AcquisitionCycle(SharedState& state, const ComPorts& ports, CommsPanel& panel,
                     const Clock& clock, UnitEvents& events, ErrorNotice& notice,
                     CycleReports& reports = NoCycleReports());

    void Tick();
    void CheckMessage(int unit);
    void WriteRawData(int unit);

    // Closes every open port; failures are ignored (used at shutdown).
    void CloseAllPorts();

    // Whether the unit's port is waiting to be reopened after a failure.
    bool IsAwaitingReopen(int unit) const { return m_reopenCountdown[unit] > 0; }
    // The user has already been told that the unit's port cannot be opened now (at start-up):
    // failing to open it again is not reported until it has been open once.
    void NotePortUnavailable(int unit) { m_outageReported[unit] = true; }

private:
    int ServedUnits() const;
    void OpenPorts();
    // Selects the unit's port number and line settings and opens it; throws when it cannot.
    void OpenPort(int unit);
    // OpenPort, reporting a failure unless this outage has been reported; true when open.
    bool OpenReportingOnce(int unit);
    void AnnounceOpened(int unit, bool opened);
    void RetryLostPorts();
    void Watch(int unit);
    void OnPortLost(int unit, const QString& reason);
    void DiscardFlood(int unit);
    // Shows `reason` on the unit's message line after the date and time, and reports it.
    void Discard(int unit, const QString& reason);
    QString Now() const;

    // Runs a step for `unit`; a failure is reported with the unit and its device, and its reason
    // returned.
    template <typename Step>
    std::optional<QString> Trap(int unit, Step&& step);
    void OnTrappedError(int unit, const QString& reason);
    // The unit's port is open: an outage that was reported is over, and the notice is told.
    void OnReopened(int unit);

    SharedState& m_state;
    const ComPorts& m_ports;
    CommsPanel& m_panel;
    const Clock& m_clock;
    UnitEvents& m_events;
    ErrorNotice& m_notice;
    CycleReports& m_reports;
    PerUnit<int16_t> m_reopenCountdown;  // 0: not waiting
    PerUnit<bool> m_outageReported;      // the port's current outage has been reported
    SideFileWriter m_rawData;
};

}  // namespace grainlink
