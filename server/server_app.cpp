#include "server/server_app.h"

#include "config/mqtt_settings.h"
#include "config/serial_devices.h"
#include "platform/qt_serial_port.h"

namespace grainlink {

ServerApp::ServerApp(MessageBox& messageBox, ErrorNotice& notice, QObject* parent)
    : QObject(parent),
      m_profile(ConfigFilePath()),
      m_config(m_profile),
      m_dde(ReadMqttSettings(m_config)),
      m_core(ServerServices{
          m_profile, m_dde, messageBox, notice, m_clock,
          [this](int) {
              return std::make_unique<QtSerialPort>(
                  [this](int16_t number) { return PortDevicePath(m_config, number); });
          }})
{
}

void ServerApp::start()
{
    m_core.start();
}

void ServerApp::shutdown()
{
    m_core.shutdown();
    m_dde.shutdown();
}

}  // namespace grainlink
