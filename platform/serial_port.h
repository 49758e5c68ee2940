#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>

namespace grainlink {

// A serial port operation that could not be carried out (no such device, busy, unplugged).
// It travels to the caller's own error trap.
class PortFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The port number stands for no device on this machine, so no retry can help until the
// configuration changes.
class NoSuchPort : public PortFailure {
public:
    using PortFailure::PortFailure;
};

// The receive-only serial line one unit is attached to. The program never writes to it.
// Every operation may throw PortFailure.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Selects the device that the next open() uses; 1 is the first serial port.
    virtual void setPortNumber(int16_t portNumber) = 0;
    // The device the port number stands for, such as /dev/ttyUSB0; empty when it stands for none.
    virtual QString device() const = 0;
    // Line settings such as "9600,n,8,1", applied at the next open().
    virtual void setSettings(const QString& settings) = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    // True exactly while the port is open.
    virtual bool isOpen() const = 0;
    // Received characters not yet read.
    virtual int inBufferCount() = 0;
    // Every waiting character in arrival order, removed from the receive buffer.
    virtual QByteArray input() = 0;
};

}  // namespace grainlink
