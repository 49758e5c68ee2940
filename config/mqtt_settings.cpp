#include "config/mqtt_settings.h"

#include <QtGlobal>

namespace grainlink {
namespace {

constexpr const char* kSection = "MQTT";

QString Read(const ConfigFile& config, const char* key, const QString& defaultValue, int capacity)
{
    return QString::fromUtf8(config.ReadSetting(kSection, key, defaultValue.toUtf8(), capacity))
        .trimmed();
}

void WarnDefault(const char* key, const QString& value, const QString& defaultValue)
{
    qWarning("GRAINLINK.INI [MQTT] %s=%s cannot be used; using %s", key, qUtf8Printable(value),
             qUtf8Printable(defaultValue));
}

}  // namespace

MqttSettings ReadMqttSettings(const ConfigFile& config)
{
    const MqttSettings defaults;
    MqttSettings settings;

    settings.host = Read(config, "Host", defaults.host, 256);
    if (settings.host.isEmpty()) settings.host = defaults.host;

    const QString defaultPort = QString::number(defaults.port);
    const QString port = Read(config, "Port", defaultPort, 8);
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (ok && number >= 1 && number <= 65535) {
        settings.port = static_cast<quint16>(number);
    } else {
        WarnDefault("Port", port, defaultPort);
    }

    const QString root = Read(config, "TopicRoot", defaults.topicRoot, 128);
    if (root.isEmpty() || root.contains(u'+') || root.contains(u'#') || root.contains(QChar()))
        WarnDefault("TopicRoot", root, defaults.topicRoot);
    else
        settings.topicRoot = root;
    return settings;
}

}  // namespace grainlink
