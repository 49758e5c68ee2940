#include "platform/qt_serial_port.h"

#include <QStringList>

namespace grainlink {
namespace {

// What the port takes in between two reads. A 9600-baud line carries under a thousand characters
// a second; a device that sends faster (a port pointed at the wrong device) waits in the driver,
// or is lost there, instead of growing this process.
constexpr qint64 kReadBufferBytes = 16384;

struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Parses "baud,parity,data,stop" as in "9600,n,8,1".
LineSettings ParseSettings(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool ok = parts.size() == 4;
    LineSettings s;
    if (ok) s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0) throw PortFailure("invalid line settings: " + text.toStdString());

    const QString parity = parts[1].trimmed().toLower();
    if (parity == u"n") s.parity = QSerialPort::NoParity;
    else if (parity == u"e") s.parity = QSerialPort::EvenParity;
    else if (parity == u"o") s.parity = QSerialPort::OddParity;
    else if (parity == u"m") s.parity = QSerialPort::MarkParity;
    else if (parity == u"s") s.parity = QSerialPort::SpaceParity;
    else throw PortFailure("invalid parity: " + parity.toStdString());

    const int dataBits = parts[2].trimmed().toInt();
    if (dataBits < 5 || dataBits > 8) throw PortFailure("invalid data bits");
    s.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = parts[3].trimmed();
    if (stop == u"1") s.stopBits = QSerialPort::OneStop;
    else if (stop == u"1.5") s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == u"2") s.stopBits = QSerialPort::TwoStop;
    else throw PortFailure("invalid stop bits");
    return s;
}

}  // namespace

QtSerialPort::QtSerialPort(DeviceResolver resolver) : m_resolver(std::move(resolver))
{
    m_port.setReadBufferSize(kReadBufferBytes);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

void QtSerialPort::setPortNumber(int16_t portNumber)
{
    m_portNumber = portNumber;
}

QString QtSerialPort::device() const
{
    return m_resolver(m_portNumber);
}

void QtSerialPort::setSettings(const QString& settings)
{
    const LineSettings s = ParseSettings(settings);
    // QSerialPort keeps these for the next open and applies them at once when already open.
    m_port.setBaudRate(s.baudRate);
    m_port.setParity(s.parity);
    m_port.setDataBits(s.dataBits);
    m_port.setStopBits(s.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::open()
{
    const QString device = this->device();
    if (device.isEmpty())
        throw NoSuchPort("no device for port number " + std::to_string(m_portNumber));
    if (m_port.isOpen()) m_port.close();
    m_port.setPortName(device);
    m_lost = false;
    if (!m_port.open(QIODevice::ReadOnly)) {
        throw PortFailure("cannot open " + device.toStdString() + ": " +
                          m_port.errorString().toStdString());
    }
}

void QtSerialPort::close()
{
    m_port.close();
    m_lost = false;
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen();
}

int QtSerialPort::inBufferCount()
{
    requireOpen();
    // Pull whatever the driver holds now, so the count does not depend on when the event loop
    // last ran.
    m_port.waitForReadyRead(0);
    requireOpen();
    return static_cast<int>(m_port.bytesAvailable());
}

QByteArray QtSerialPort::input()
{
    requireOpen();
    m_port.waitForReadyRead(0);
    return m_port.readAll();
}

void QtSerialPort::requireOpen()
{
    // The reason reaches the operator (the port error window, the event list): it says what
    // happened to the device, not which call noticed it.
    if (m_lost) throw PortFailure("device lost");
    if (!m_port.isOpen()) throw PortFailure("port not open");
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // A vanished pseudo-terminal shows as end of file on read, which QSerialPort reports as
    // ReadError (not ResourceError) and then raises again on every pass of the event loop. On a
    // serial line a failed read means the device is gone either way.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    // The device went away. Closing frees the handle so that a later open can find it again.
    m_lost = true;
    m_port.close();
}

}  // namespace grainlink
