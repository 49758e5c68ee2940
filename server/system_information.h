#pragma once

#include <QString>

#include "acquisition/comms_panel.h"
#include "config/config_file.h"
#include "platform/mqtt_dde_source.h"
#include "state/unit_state.h"

namespace grainlink {

class ServerApp;

// What the program is built with and runs on.
struct PlatformVersions {
    QString builtFor;
    QString runningOn;
    QString qt;
    QString mosquitto;
};
PlatformVersions CurrentPlatformVersions();

struct BrokerStatus {
    bool connected = false;
    QString detail;  // the last change, such as "cannot connect to localhost:1883: ..."
};

// Everything the system information names, as plain inputs.
struct SystemInformationSources {
    const SharedState& state;
    const ConfigFile& config;
    const CommsPanel& panel;
    QString configFilePath;
    MqttSettings broker;
    BrokerStatus brokerStatus;
    PlatformVersions platform;
};

// The system information as plain text for a support request: product and version, platform
// and library versions, the configuration file in use and the main settings, every serial port
// number 1..10 with its device path and whether the device exists, every unit's state, and the
// broker's address and connection state. Device existence is checked as the text is made.
QString SystemInformationText(const SystemInformationSources& sources);

// The same for the running server.
QString SystemInformationText(ServerApp& server);

}  // namespace grainlink
