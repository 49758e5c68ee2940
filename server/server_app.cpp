#include "server/server_app.h"

#include "config/mqtt_settings.h"
#include "config/serial_devices.h"
#include "platform/qt_serial_port.h"

namespace grainlink {

ServerApp::ServerApp(MessageBox& messageBox, ErrorNotice& notice, QObject* parent)
    : QObject(parent),
      m_profile(ConfigFilePath()),
      m_dde(ReadMqttSettings(ConfigFile(m_profile))),
      m_core(ServerServices{
          m_profile, m_dde, messageBox, notice, m_clock,
          [this](int) {
              return std::make_unique<QtSerialPort>(
                  [this](int16_t number) { return PortDevicePath(m_core.config(), number); });
          }}),
      m_unitPublisher(m_core.items(), m_core.state(), m_clock, m_dde, m_dde.topicRoot(),
                      ReadMqttDiscovery(m_core.config())),
      m_eventsFile(m_core.plant().events(), m_core.plant()),
      m_eventPublisher(m_core.plant().events(), m_dde, m_dde.topicRoot())
{
    connect(&m_dde, &MqttDdeSource::connectionChanged, &m_core.plant(), &PlantModel::brokerChanged);
    connect(&m_core, &ServerCore::recordStored, this, [this](int unit, bool generated) {
        m_unitPublisher.onRecord(unit, generated ? RecordState::Demonstration : RecordState::Live);
    });
    connect(&m_core, &ServerCore::unitMarkedStale, this,
            [this](int unit) { m_unitPublisher.onUnitStale(unit); });
}

void ServerApp::configurationChanged()
{
    m_core.plant().settingsChanged();
    m_unitPublisher.onServedUnits(ServedUnits(m_core.state()));
}

void ServerApp::start()
{
    // Says which file the settings come from, so that a server with every unit disabled
    // because its file is elsewhere or unusable is not a mystery.
    const QByteArray path = m_profile.path().toUtf8();
    const FileStatus file = m_profile.status();
    switch (file.state) {
    case FileState::Read:
        qInfo("Configuration: %s", path.constData());
        break;
    case FileState::Missing:
        qInfo("Configuration: %s (not found: every setting takes its default)", path.constData());
        break;
    case FileState::Unreadable:
        qWarning("Configuration: %s cannot be read (%s): every setting takes its default",
                 path.constData(), qUtf8Printable(file.reason));
        break;
    }
    if (m_core.state().DemoMode)
        qInfo("Demonstration mode: silent units receive generated records; no data log lines.");
    m_core.start();
    configurationChanged();
}

void ServerApp::shutdown()
{
    m_core.shutdown();
    m_unitPublisher.onShutdown();
    m_dde.shutdown();
}

}  // namespace grainlink
