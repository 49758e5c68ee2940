#pragma once

#include "platform/serial_port.h"
#include "state/unit_state.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <utility>

namespace grainlink::test {

// A scripted serial port: the test feeds received characters and can make the device fail to
// open or disappear. It records the settings it was given.
class FakeSerialPort final : public SerialPort {
public:
    void setPortNumber(int16_t portNumber) override { m_portNumber = portNumber; }
    QString device() const override
    {
        return m_numberHasDevice ? QStringLiteral("/dev/ttyS%1").arg(m_portNumber - 1) : QString();
    }
    void setSettings(const QString& settings) override { m_settings = settings; }
    void open() override
    {
        ++m_openCount;
        if (!m_numberHasDevice) throw NoSuchPort("no device for this port number");
        if (!m_present) throw PortFailure("no such device");
        m_open = true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int inBufferCount() override
    {
        Require();
        return static_cast<int>(m_waiting.size());
    }
    QByteArray input() override
    {
        Require();
        return std::exchange(m_waiting, {});
    }

    // Characters arriving on the line.
    void receive(const QByteArray& bytes) { m_waiting += bytes; }
    // The device goes away (closing the port, as the real one does) or comes back.
    void unplug()
    {
        m_present = false;
        m_open = false;
    }
    void plugIn() { m_present = true; }
    // The port number is one the machine has no device for.
    void forgetDevice() { m_numberHasDevice = false; }

    int16_t portNumber() const { return m_portNumber; }
    const QString& settings() const { return m_settings; }
    int openCount() const { return m_openCount; }

private:
    void Require() const
    {
        if (!m_open) throw PortFailure("port not open");
    }

    int16_t m_portNumber = 0;
    QString m_settings;
    QByteArray m_waiting;
    bool m_present = true;
    bool m_numberHasDevice = true;
    bool m_open = false;
    int m_openCount = 0;
};

// A port factory for the cycle's ports or the server core: every port it makes is a fake, noted
// in `fakes` under its unit for the test to feed.
inline auto FakePortFactory(PerUnit<FakeSerialPort*>& fakes)
{
    return [&fakes](int unit) {
        auto port = std::make_unique<FakeSerialPort>();
        fakes[unit] = port.get();
        return port;
    };
}

}  // namespace grainlink::test
