#pragma once

#include "config/config_file.h"
#include "platform/mqtt_dde_source.h"

namespace grainlink {

// The broker the items are published on, from section [MQTT] of GRAINLINK.INI: keys Host
// (default "localhost"), Port (default "1883"), TopicRoot (default "GRAINLINK"), ClientId,
// Username, PasswordFile, CaFile, CertFile, KeyFile and KeepAlive (default "10" seconds). A
// value that cannot be used (a port outside 1..65535; a root, client id or user name that MQTT
// does not allow, such as one with a control character, with bytes that are not UTF-8, too long,
// or a root holding the wildcards "+" or "#"; a password file that cannot be read) falls back to
// its default with a warning that names the key and the reason, so that a typing error never
// stops the items being published. The password is read here, once, from the service's
// credential "mqtt-password" when systemd hands one over, otherwise from PasswordFile:
// it never appears in the configuration file or on a command line.
MqttSettings ReadMqttSettings(const ConfigFile& config);

// Home Assistant discovery: [MQTT] Discovery ("1": on, default off) and DiscoveryPrefix
// (default "homeassistant").
struct MqttDiscoverySettings {
    bool enabled = false;
    QString prefix = QStringLiteral("homeassistant");
};
MqttDiscoverySettings ReadMqttDiscovery(const ConfigFile& config);

}  // namespace grainlink
