#pragma once

#include "platform/serial_port.h"

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

namespace grainlink {

// The serial ports `com_port(1)` .. `com_port(4)`; port i always serves unit i.
class ComPorts {
public:
    using Factory = std::function<std::unique_ptr<SerialPort>(int unit)>;

    explicit ComPorts(const Factory& make)
    {
        for (int unit = 1; unit <= 4; ++unit) m_ports[unit - 1] = make(unit);
    }

    // Throws std::out_of_range for a unit outside 1..4.
    SerialPort& operator[](int unit) const
    {
        if (unit < 1 || unit > 4) throw std::out_of_range("no serial port for this unit");
        return *m_ports[unit - 1];
    }

private:
    std::array<std::unique_ptr<SerialPort>, 4> m_ports;
};

}  // namespace grainlink
