#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <stdexcept>

namespace grainlink {

inline constexpr int kMaxUnits = 4;

// A per-unit array with slots 0..10, of which units 1..4 are used. Indexing outside 0..10 is an
// error and throws, so that it reaches the caller's trap instead of corrupting memory.
template <typename T>
class PerUnit {
public:
    static constexpr int kSlots = 11;

    T& operator[](int unit) { return m_slots.at(Checked(unit)); }
    const T& operator[](int unit) const { return m_slots.at(Checked(unit)); }

private:
    static std::size_t Checked(int unit)
    {
        if (unit < 0 || unit >= kSlots) throw std::out_of_range("unit index outside 0..10");
        return static_cast<std::size_t>(unit);
    }
    std::array<T, kSlots> m_slots{};
};

// Acquisition record of one unit.
struct UnitRec {
    QByteArray RxBuffer;          // characters of the message in progress, 8-bit
    int16_t WatchdogCount = 0;    // ticks left before "no message received"
    int32_t RxCount = 0;          // framed messages since start, 1..10000 then 0
    int16_t WatchdogReload = 0;   // reload value of WatchdogCount
};

// The state shared by the acquisition cycle, start-up, the windows and the dialogs. One object
// owned by the application and handed to whoever needs it; it starts zero or empty.
struct SharedState {
    PerUnit<UnitRec> UnitData;

    // Per-unit configuration.
    PerUnit<bool> UnitEnabled;
    PerUnit<int16_t> UnitPort;
    PerUnit<QString> UnitName;

    // Per-unit run state of the cycle.
    PerUnit<bool> PortOpenOk;   // opened by the cycle; only such units are watched and read
    PerUnit<bool> Receiving;    // a message is being collected
    PerUnit<int16_t> IdleTicks; // silent ticks while collecting

    // Settings.
    int16_t NumUnits = 0;
    int16_t MessageTime = 0;  // seconds, which are ticks
    int32_t BufferSize = 0;
    bool LogEnabled = false;
    bool RawLogEnabled = false;
    QString LogFile;
    bool DemoMode = false;
    int16_t SecurityEnabled = 0;
    QByteArray Password;
    QString ProductName;
    QString HardwareName;

    // Cycle and access flags.
    bool PortsReady = false;
    bool OptionsOpen = false;
    bool PortError = false;
    bool LoggedIn = false;
    int16_t AccessLevel = 0;

    // Asks the next tick to reopen the enabled ports with the current settings. A trapped error
    // is forgotten too, so that it cannot block every later reopen.
    void RequestPortReopen()
    {
        PortsReady = false;
        PortError = false;
    }
};

}  // namespace grainlink
