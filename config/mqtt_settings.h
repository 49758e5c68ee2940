#pragma once

#include "config/config_file.h"
#include "platform/mqtt_dde_source.h"

namespace grainlink {

// The broker the items are published on, from section [MQTT] of GRAINLINK.INI: keys Host
// (default "localhost"), Port (default "1883") and TopicRoot (default "GRAINLINK"). A value that
// cannot be used (a port outside 1..65535, a root holding the wildcards "+" or "#") falls back
// to its default with a warning, so that a typing error never stops the items being published.
MqttSettings ReadMqttSettings(const ConfigFile& config);

}  // namespace grainlink
