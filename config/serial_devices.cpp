#include "config/serial_devices.h"

namespace grainlink {
namespace {

constexpr int kPathCapacity = 260;

}  // namespace

QString PortDevicePath(const ConfigFile& config, int16_t portNumber)
{
    if (portNumber < kFirstPortNumber || portNumber > kLastPortNumber) return {};
    const QByteArray fallback = "/dev/ttyS" + QByteArray::number(portNumber - 1);
    const QByteArray path = config.ReadSetting("Serial", "Port" + QByteArray::number(portNumber),
                                               fallback, kPathCapacity);
    return QString::fromUtf8(path.trimmed());
}

}  // namespace grainlink
