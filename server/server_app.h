#pragma once

#include "platform/clock.h"
#include "platform/error_notice.h"
#include "platform/ini_profile_file.h"
#include "platform/message_box.h"
#include "platform/mqtt_dde_source.h"
#include "server/event_outputs.h"
#include "server/mqtt_unit_publisher.h"
#include "server/server_core.h"

#include <QObject>

namespace grainlink {

// The server on the real platform: GRAINLINK.INI, serial ports mapped through its [Serial]
// section, the MQTT broker of its [MQTT] section and the system clock. The event log goes to
// the events file and to the broker. The caller chooses how messages and port errors reach the
// user (windows or standard error).
class ServerApp : public QObject {
    Q_OBJECT

public:
    ServerApp(MessageBox& messageBox, ErrorNotice& notice, QObject* parent = nullptr);

    ServerCore& core() { return m_core; }
    // The record snapshots, unit availability and discovery on the broker.
    MqttUnitPublisher& unitPublisher() { return m_unitPublisher; }
    ConfigFile& config() { return m_core.config(); }
    const MqttDdeSource& dde() const { return m_dde; }

    void start();
    // The units served or other settings may have changed (options or port set-up closed).
    void configurationChanged();
    // Stops acquisition, closes the ports and tells the broker the server is going offline.
    void shutdown();

private:
    IniProfileFile m_profile;
    SystemClock m_clock;
    MqttDdeSource m_dde;
    ServerCore m_core;
    MqttUnitPublisher m_unitPublisher;
    EventsFile m_eventsFile;
    MqttEventPublisher m_eventPublisher;
};

}  // namespace grainlink
