#include "config/mqtt_settings.h"

#include "config/service_credential.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <optional>

namespace grainlink {
namespace {

constexpr const char* kSection = "MQTT";
constexpr int kPathCapacity = 1024;
// A password is a line; a bigger file is not a password file.
constexpr qint64 kPasswordFileLimit = 4096;

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

void WarnFile(const char* key, const QString& path, const QString& why, const char* consequence)
{
    qWarning("GRAINLINK.INI [MQTT] %s=%s: %s; %s", key, qUtf8Printable(path), qUtf8Printable(why),
             consequence);
}

std::optional<uint> Number(const QString& text, uint low, uint high)
{
    bool ok = false;
    const uint number = text.toUInt(&ok);
    if (!ok || number < low || number > high) return std::nullopt;
    return number;
}

bool ValidTopicPart(const QString& text)
{
    return !text.isEmpty() && !text.contains(u'+') && !text.contains(u'#') &&
           !text.contains(QChar());
}

// The first line of the file. Checked before it is opened, so that a FIFO or a device named by
// mistake cannot hang or flood the start-up.
std::optional<QByteArray> ReadPassword(const QString& path)
{
    const QFileInfo info(path);
    QString why;
    if (!info.exists()) {
        why = QStringLiteral("no such file");
    } else if (!info.isFile()) {
        why = QStringLiteral("not a regular file");
    } else if (info.size() > kPasswordFileLimit) {
        why = QStringLiteral("larger than %1 bytes").arg(kPasswordFileLimit);
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (info.permissions() & (QFile::ReadOther | QFile::WriteOther))
                WarnFile("PasswordFile", path, QStringLiteral("every user of the machine can read "
                                                              "or change it"),
                         "make it readable by its owner only (chmod 600)");
            return PasswordLine(file.read(kPasswordFileLimit));
        }
        why = file.errorString();
    }
    WarnFile("PasswordFile", path, why, "logging on without a password");
    return std::nullopt;
}

// A TLS file that cannot be read is still handed on: the connection attempts then report it, and
// succeed once the file is readable.
QString TlsFile(const ConfigFile& config, const char* key)
{
    const QString path = Read(config, key, {}, kPathCapacity);
    if (!path.isEmpty() && !QFileInfo(path).isReadable())
        WarnFile(key, path, QStringLiteral("cannot be read"), "TLS connections will fail");
    return path;
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
    if (const auto number = Number(port, 1, 65535))
        settings.port = static_cast<quint16>(*number);
    else
        WarnDefault("Port", port, defaultPort);

    const QString root = Read(config, "TopicRoot", defaults.topicRoot, 128);
    if (ValidTopicPart(root))
        settings.topicRoot = root;
    else
        WarnDefault("TopicRoot", root, defaults.topicRoot);

    settings.clientId = Read(config, "ClientId", {}, 128);

    const QString defaultKeepAlive = QString::number(defaults.keepAliveSeconds);
    const QString keepAlive = Read(config, "KeepAlive", defaultKeepAlive, 8);
    if (const auto seconds = Number(keepAlive, 5, 65535))
        settings.keepAliveSeconds = static_cast<int>(*seconds);
    else
        WarnDefault("KeepAlive", keepAlive, defaultKeepAlive);

    settings.username = Read(config, "Username", {}, 256);
    const QString passwordFile = Read(config, "PasswordFile", {}, kPathCapacity);
    // The service's credential comes first: the file behind it may be readable by root only.
    if (const auto credential = CredentialLine(qEnvironmentVariable("CREDENTIALS_DIRECTORY"),
                                               kMqttPasswordCredential)) {
        if (settings.username.isEmpty()) {
            qWarning("MQTT: the service's credential %s is not used: no Username is set",
                     kMqttPasswordCredential);
        } else {
            qInfo("MQTT: the password is the service's credential %s", kMqttPasswordCredential);
            settings.password = *credential;
        }
    } else if (!passwordFile.isEmpty()) {
        if (settings.username.isEmpty())
            WarnFile("PasswordFile", passwordFile, QStringLiteral("no Username is set"),
                     "the password is not used");
        else
            settings.password = ReadPassword(passwordFile).value_or(QByteArray());
    }

    settings.caFile = TlsFile(config, "CaFile");
    settings.certFile = TlsFile(config, "CertFile");
    settings.keyFile = TlsFile(config, "KeyFile");
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty() || settings.caFile.isEmpty()) {
        if (!settings.certFile.isEmpty() || !settings.keyFile.isEmpty())
            qWarning("GRAINLINK.INI [MQTT] CertFile and KeyFile go together, with CaFile; "
                     "connecting without a client certificate");
        settings.certFile.clear();
        settings.keyFile.clear();
    }
    return settings;
}

MqttDiscoverySettings ReadMqttDiscovery(const ConfigFile& config)
{
    MqttDiscoverySettings discovery;
    discovery.enabled = Read(config, "Discovery", QStringLiteral("0"), 8).toInt() != 0;
    const QString prefix = Read(config, "DiscoveryPrefix", discovery.prefix, 128);
    if (ValidTopicPart(prefix) && !prefix.startsWith(u'/') && !prefix.endsWith(u'/'))
        discovery.prefix = prefix;
    else
        WarnDefault("DiscoveryPrefix", prefix, discovery.prefix);
    return discovery;
}

}  // namespace grainlink
