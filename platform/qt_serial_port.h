#pragma once

#include "platform/serial_port.h"

#include <QSerialPort>

#include <functional>

namespace grainlink {

// SerialPort on QSerialPort. Port numbers become device paths through a resolver, so that
// the mapping can come from the configuration. A device that disappears while open (USB
// adapter unplugged, pseudo-terminal closed) closes the port; the next read then fails, so
// the caller learns of it once and can open the port again later. Between two reads the port
// holds at most a few records' worth of input, whatever the device sends.
class QtSerialPort final : public SerialPort {
public:
    using DeviceResolver = std::function<QString(int16_t portNumber)>;

    explicit QtSerialPort(DeviceResolver resolver);

    void setPortNumber(int16_t portNumber) override;
    QString device() const override;
    void setSettings(const QString& settings) override;
    void open() override;
    void close() override;
    bool isOpen() const override;
    int inBufferCount() override;
    QByteArray input() override;

private:
    void requireOpen();
    void onError(QSerialPort::SerialPortError error);

    DeviceResolver m_resolver;
    QSerialPort m_port;
    int16_t m_portNumber = 0;
    bool m_lost = false;
};

}  // namespace grainlink
