#include "acquisition/acquisition_cycle.h"

#include "acquisition/side_file_report.h"
#include "acquisition/unit_file_name.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace grainlink {
namespace {

constexpr const char* kRawDataBase = "RawData.txt";

bool HasLineEndBeforeLast(const QByteArray& message)
{
    // A line end in the very last position does not count.
    for (qsizetype i = 0; i + 1 < message.size(); ++i)
        if (message[i] == '\r' || message[i] == '\n') return true;
    return false;
}

}  // namespace

AcquisitionCycle::AcquisitionCycle(SharedState& state, const ComPorts& ports, CommsPanel& panel,
                                   const Clock& clock, UnitEvents& events, ErrorNotice& notice,
                                   CycleReports& reports)
    : m_state(state), m_ports(ports), m_panel(panel), m_clock(clock), m_events(events),
      m_notice(notice), m_reports(reports), m_rawData(MessageLineReporter(panel, clock, reports))
{
}

template <typename Step>
std::optional<QString> AcquisitionCycle::Trap(int unit, Step&& step)
{
    try {
        step();
        return std::nullopt;
    } catch (const std::exception& error) {
        const QString reason = QString::fromLocal8Bit(error.what());
        OnTrappedError(unit, reason);
        return reason;
    }
}

void AcquisitionCycle::OnTrappedError(int unit, const QString& reason)
{
    m_notice.showPortError({unit, m_ports[unit].device(), reason, m_clock.now()});
    m_state.PortError = true;
}

void AcquisitionCycle::OnReopened(int unit)
{
    if (std::exchange(m_outageReported[unit], false)) m_notice.portRecovered(unit, m_clock.now());
}

QString AcquisitionCycle::Now() const
{
    return GeneralDateText(m_clock.now());
}

int AcquisitionCycle::ServedUnits() const
{
    // A unit count outside 1..4 is reported at start-up; serving at most the four ports keeps it
    // from raising an error on every tick.
    return std::clamp<int>(m_state.NumUnits, 0, kMaxUnits);
}

void AcquisitionCycle::Tick()
{
    if (m_state.OptionsOpen) {
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            m_reopenCountdown[unit] = 0;
            Trap(unit, [&] {
                if (m_ports[unit].isOpen()) m_ports[unit].close();
            });
        }
        m_state.PortsReady = true;
        return;
    }
    if (!m_state.PortsReady && !m_state.PortError) OpenPorts();
    RetryLostPorts();
    for (int unit = 1; unit <= ServedUnits(); ++unit)
        if (m_state.PortOpenOk[unit]) Watch(unit);
}

void AcquisitionCycle::OpenPorts()
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        m_reopenCountdown[unit] = 0;
        if (unit <= ServedUnits() && m_state.UnitEnabled[unit]) continue;
        // A unit no longer served is no longer watched, and its port is let go.
        m_state.PortOpenOk[unit] = false;
        Trap(unit, [&] {
            if (m_ports[unit].isOpen()) m_ports[unit].close();
        });
    }
    for (int unit = 1; unit <= ServedUnits(); ++unit) {
        if (!m_state.UnitEnabled[unit]) continue;
        m_state.PortError = false;
        m_state.PortOpenOk[unit] = OpenReportingOnce(unit);
        if (!m_state.PortOpenOk[unit]) m_reopenCountdown[unit] = kReopenInterval;
        AnnounceOpened(unit, m_state.PortOpenOk[unit]);
    }
    m_state.PortsReady = true;
}

bool AcquisitionCycle::OpenReportingOnce(int unit)
{
    try {
        OpenPort(unit);
    } catch (const std::exception& error) {
        const QString reason = QString::fromLocal8Bit(error.what());
        if (!std::exchange(m_outageReported[unit], true)) OnTrappedError(unit, reason);
        m_reports.portUnavailable(unit, reason);
        return false;
    }
    OnReopened(unit);
    return true;
}

void AcquisitionCycle::OpenPort(int unit)
{
    SerialPort& port = m_ports[unit];
    port.setPortNumber(m_state.UnitPort[unit]);
    if (port.isOpen()) port.close();
    port.setSettings(QString::fromLatin1(kLineSettings));
    port.open();
}

void AcquisitionCycle::AnnounceOpened(int unit, bool opened)
{
    UnitRec& rec = m_state.UnitData[unit];
    rec.WatchdogReload = m_state.MessageTime;
    rec.WatchdogCount = rec.WatchdogReload;
    if (opened) m_reports.portOpened(unit);
    m_panel.setText(CommsControl::lbl_msg, unit,
                    Now() + (opened ? QStringLiteral(" waiting for data")
                                    : QStringLiteral(" port unavailable, retrying")));
    m_panel.setText(CommsControl::lbl_last_msg_time, unit, QString());
    Trap(unit, [&] { m_events.MarkUnitInvalid(unit); });
}

void AcquisitionCycle::RetryLostPorts()
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        if (m_reopenCountdown[unit] == 0 || --m_reopenCountdown[unit] > 0) continue;
        try {
            OpenPort(unit);  // quietly: the failure was reported when the port was first lost
        } catch (const std::exception&) {
            m_reopenCountdown[unit] = kReopenInterval;
            continue;
        }
        OnReopened(unit);
        m_state.PortOpenOk[unit] = true;
        m_state.Receiving[unit] = false;
        AnnounceOpened(unit, true);
    }
}

void AcquisitionCycle::Watch(int unit)
{
    UnitRec& rec = m_state.UnitData[unit];
    rec.WatchdogCount = static_cast<int16_t>(rec.WatchdogCount - 1);
    if (rec.WatchdogCount < 1) {
        m_panel.setText(CommsControl::lbl_msg, unit, Now() + QStringLiteral(" no message received"));
        const bool receiving = std::exchange(m_state.Receiving[unit], false);
        if (receiving)
            m_reports.inputDiscarded(
                unit, QStringLiteral("input without a pause for %1 s").arg(kReceiveWatchdog));
        if (m_state.DemoMode) {
            Trap(unit, [&] { m_events.MakeDemoRecord(unit); });
            m_panel.setText(CommsControl::lbl_msg, unit,
                            Now() + QStringLiteral(" Demo data generated"));
            Trap(unit, [&] { m_events.LogData(unit); });
        } else {
            m_reports.unitSilent(unit, receiving ? kReceiveWatchdog : rec.WatchdogReload);
            Trap(unit, [&] { m_events.MarkUnitInvalid(unit); });
        }
        rec.WatchdogCount = rec.WatchdogReload;
    }

    const std::optional<QString> failure = Trap(unit, [&] {
        if (m_state.Receiving[unit]) {
            CheckMessage(unit);
        } else if (m_ports[unit].inBufferCount() > 0) {
            m_state.Receiving[unit] = true;
            rec.WatchdogCount = kReceiveWatchdog;
            rec.RxBuffer.clear();  // the first read is on the next tick
        }
    });
    if (failure && !m_ports[unit].isOpen()) OnPortLost(unit, *failure);
}

void AcquisitionCycle::OnPortLost(int unit, const QString& reason)
{
    m_outageReported[unit] = true;  // by the trap that found the port gone
    m_state.PortOpenOk[unit] = false;
    m_state.Receiving[unit] = false;
    m_reopenCountdown[unit] = kReopenInterval;
    m_reports.portUnavailable(unit, reason);
    m_panel.setText(CommsControl::lbl_msg, unit,
                    Now() + QStringLiteral(" port unavailable, retrying"));
    Trap(unit, [&] { m_events.MarkUnitInvalid(unit); });
}

void AcquisitionCycle::CheckMessage(int unit)
{
    UnitRec& rec = m_state.UnitData[unit];
    SerialPort& port = m_ports[unit];
    if (port.inBufferCount() >= 1) {
        const QByteArray input = port.input();
        m_state.IdleTicks[unit] = 0;
        if (rec.RxBuffer.size() + input.size() > kMaxMessageBytes)
            DiscardFlood(unit);
        else
            rec.RxBuffer += input;
        return;
    }
    if (++m_state.IdleTicks[unit] < 2) return;

    // Two silent ticks: the message is complete.
    rec.WatchdogCount = rec.WatchdogReload;
    m_state.Receiving[unit] = false;
    m_panel.setText(CommsControl::lbl_msg, unit, QString());
    const QString text = QString::fromLatin1(rec.RxBuffer);
    if (!rec.RxBuffer.startsWith(';')) {
        m_panel.setText(CommsControl::lbl_msg, unit,
                        QStringLiteral("Bad data at ") + Now() + QStringLiteral(" .. ") + text);
        m_reports.inputDiscarded(unit,
                                 QStringLiteral("bad data: the message does not start with \";\""));
        return;
    }
    if (!HasLineEndBeforeLast(rec.RxBuffer)) {
        Discard(unit, QStringLiteral("no end of message"));
        return;
    }
    m_panel.setText(CommsControl::lbl_rx, unit, text);
    if (++rec.RxCount > kMaxRxCount) rec.RxCount = 0;
    m_panel.setText(CommsControl::lbl_rx_cnt, unit, QString::number(rec.RxCount));
    m_panel.setText(CommsControl::lbl_last_msg_time, unit, Now());
    WriteRawData(unit);
    if (!m_events.DecodeRecord(unit))
        m_reports.inputDiscarded(unit,
                                 QStringLiteral("bad data: a character that no record holds, "
                                                "not decoded"));
    rec.WatchdogReload = m_state.MessageTime;
}

void AcquisitionCycle::DiscardFlood(int unit)
{
    UnitRec& rec = m_state.UnitData[unit];
    rec.RxBuffer.clear();
    rec.WatchdogCount = rec.WatchdogReload;
    m_state.Receiving[unit] = false;
    Discard(unit, QStringLiteral("bad data: more than %1 characters without a pause, discarded")
                      .arg(kMaxMessageBytes));
}

void AcquisitionCycle::Discard(int unit, const QString& reason)
{
    m_panel.setText(CommsControl::lbl_msg, unit, Now() + QLatin1Char(' ') + reason);
    m_reports.inputDiscarded(unit, reason);
}

void AcquisitionCycle::WriteRawData(int unit)
{
    if (!m_state.RawLogEnabled) return;
    m_rawData.Append(unit, UnitFileName(QString::fromLatin1(kRawDataBase), unit),
                     m_state.UnitData[unit].RxBuffer + "\r\n");
}

void AcquisitionCycle::CloseAllPorts()
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        try {
            if (m_ports[unit].isOpen()) m_ports[unit].close();
        } catch (const std::exception&) {
            // Shutting down: nothing left to report to.
        }
    }
}

}  // namespace grainlink
