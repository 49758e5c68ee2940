#include "server/system_information.h"

#include <QFileInfo>
#include <QStringList>

#include "config/serial_devices.h"
#include "server/build_info.h"
#include "server/server_app.h"

namespace grainlink {
namespace {

constexpr int kLastPortNumber = 10;
constexpr int kLabelWidth = 16;

QString Field(const QString& label, const QString& value)
{
    return QStringLiteral("  %1%2").arg(label + QLatin1Char(':'), -kLabelWidth).arg(value);
}

QString YesNo(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

QString DeviceState(const QString& path)
{
    const QFileInfo device(path);
    QString text = device.exists() ? QStringLiteral("exists") : QStringLiteral("missing");
    if (device.isSymLink()) text += QStringLiteral(" (link to %1)").arg(device.symLinkTarget());
    return text;
}

void AddPlatform(QStringList& lines, const PlatformVersions& platform)
{
    lines << QStringLiteral("Platform") << Field(QStringLiteral("Built for"), platform.builtFor)
          << Field(QStringLiteral("Running on"), platform.runningOn)
          << Field(QStringLiteral("Qt"), platform.qt)
          << Field(QStringLiteral("libmosquitto"), platform.mosquitto) << QString();
}

void AddConfiguration(QStringList& lines, const SystemInformationSources& sources)
{
    const SharedState& state = sources.state;
    const bool found = QFileInfo::exists(sources.configFilePath);
    lines << QStringLiteral("Configuration")
          << Field(QStringLiteral("File"),
                   sources.configFilePath +
                       (found ? QString()
                              : QStringLiteral(" (not found: every setting takes its default)")))
          << Field(QStringLiteral("Units"), QString::number(state.NumUnits))
          << Field(QStringLiteral("Message time"), QStringLiteral("%1 s").arg(state.MessageTime))
          << Field(QStringLiteral("History rows"), QString::number(state.BufferSize))
          << Field(QStringLiteral("Data log"), state.LogEnabled
                                                   ? QStringLiteral("on, ") + state.LogFile
                                                   : QStringLiteral("off"))
          << Field(QStringLiteral("Raw data log"),
                   state.RawLogEnabled ? QStringLiteral("on") : QStringLiteral("off"))
          << Field(QStringLiteral("Demonstration"),
                   state.DemoMode ? QStringLiteral("on") : QStringLiteral("off"))
          << Field(QStringLiteral("Security"),
                   state.SecurityEnabled ? QStringLiteral("on") : QStringLiteral("off"))
          << Field(QStringLiteral("Logged on"), YesNo(state.LoggedIn)) << QString();
}

void AddPorts(QStringList& lines, const ConfigFile& config)
{
    lines << QStringLiteral("Serial ports");
    for (int16_t number = 1; number <= kLastPortNumber; ++number) {
        const QString path = PortDevicePath(config, number);
        lines << Field(QStringLiteral("Port %1").arg(number),
                       QStringLiteral("%1  %2").arg(path, DeviceState(path)));
    }
    lines << QString();
}

void AddUnits(QStringList& lines, const SharedState& state, const CommsPanel& panel)
{
    lines << QStringLiteral("Units");
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        QString lastMessage = panel.text(CommsControl::lbl_last_msg_time, unit);
        // The design text of the panel: nothing received yet.
        if (lastMessage.isEmpty() || lastMessage == QLatin1String("HHMM"))
            lastMessage = QStringLiteral("none");
        lines << Field(
            QStringLiteral("Unit %1").arg(unit),
            QStringLiteral("name \"%1\", %2, %3, port %4 %5, last message %6")
                .arg(state.UnitName[unit],
                     state.UnitEnabled[unit] ? QStringLiteral("enabled")
                                             : QStringLiteral("disabled"),
                     unit <= state.NumUnits && state.UnitEnabled[unit]
                         ? QStringLiteral("served")
                         : QStringLiteral("not served"),
                     QString::number(state.UnitPort[unit]),
                     state.PortOpenOk[unit] ? QStringLiteral("open") : QStringLiteral("closed"),
                     lastMessage));
    }
    lines << QString();
}

void AddBroker(QStringList& lines, const MqttSettings& broker, const BrokerStatus& status)
{
    QString state =
        status.connected ? QStringLiteral("connected") : QStringLiteral("not connected");
    if (!status.detail.isEmpty()) state += QStringLiteral(" (%1)").arg(status.detail);
    lines << QStringLiteral("MQTT broker")
          << Field(QStringLiteral("Address"),
                   QStringLiteral("%1:%2").arg(broker.host, QString::number(broker.port)))
          << Field(QStringLiteral("Topic root"), broker.topicRoot)
          << Field(QStringLiteral("State"), state);
}

}  // namespace

PlatformVersions CurrentPlatformVersions()
{
    return {BuiltForPlatform(), RunningOnPlatform(), QString::fromLatin1(qVersion()),
            MosquittoLibraryVersion()};
}

QString SystemInformationText(const SystemInformationSources& sources)
{
    QStringList lines;
    lines << QStringLiteral("%1, %2").arg(sources.state.ProductName, VersionText())
          << Field(QStringLiteral("Instrument"), sources.state.HardwareName) << QString();
    AddPlatform(lines, sources.platform);
    AddConfiguration(lines, sources);
    AddPorts(lines, sources.config);
    AddUnits(lines, sources.state, sources.panel);
    AddBroker(lines, sources.broker, sources.brokerStatus);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString SystemInformationText(ServerApp& server)
{
    ServerCore& core = server.core();
    const MqttDdeSource& dde = server.dde();
    return SystemInformationText(
        {core.state(), core.config(), core.panel(), ConfigFilePath(), dde.settings(),
         BrokerStatus{dde.isConnected(), dde.connectionDetail()}, CurrentPlatformVersions()});
}

}  // namespace grainlink
