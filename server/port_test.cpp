#include "server/port_test.h"

#include <algorithm>

namespace grainlink {

bool TestPortsAtStartUp(SharedState& state, const ComPorts& ports, MessageBox& messages,
                        AcquisitionCycle& cycle)
{
    bool disabled = false;
    const int served = std::clamp<int>(state.NumUnits, 0, kMaxUnits);
    for (int unit = 1; unit <= served; ++unit) {
        if (!state.UnitEnabled[unit]) continue;
        const int16_t number = state.UnitPort[unit];
        SerialPort& port = ports[unit];
        try {
            port.setPortNumber(number);
            if (port.isOpen()) port.close();
            port.setSettings(QString::fromLatin1(AcquisitionCycle::kLineSettings));
            port.open();
            port.close();
        } catch (const NoSuchPort&) {
            messages.show(state.ProductName,
                          QStringLiteral("Bad communication port number (%1)- port disabled")
                              .arg(number),
                          MessageIcon::Exclamation);
            state.UnitEnabled[unit] = false;
            disabled = true;
        } catch (const PortFailure& failure) {
            messages.show(state.ProductName,
                          QStringLiteral("Communication port %1 cannot be opened now (%2) - unit "
                                         "%3 will be served as soon as it can be opened")
                              .arg(QString::number(number), QString::fromLocal8Bit(failure.what()),
                                   QString::number(unit)),
                          MessageIcon::Exclamation);
            cycle.NotePortUnavailable(unit);
        }
    }
    return disabled;
}

}  // namespace grainlink
