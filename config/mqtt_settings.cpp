#include "config/mqtt_settings.h"

#include "config/mqtt_text.h"
#include "config/service_credential.h"
#include "config/small_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <optional>

namespace grainlink {
namespace {

constexpr const char* kSection = "MQTT";
constexpr int kPathCapacity = 1024;
// The longest topic root, client id and user name taken, in bytes.
constexpr int kMaxNameBytes = 127;
constexpr int kMaxUsernameBytes = 255;

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

using TextCheck = std::optional<QString> (*)(const QByteArray&, int);

// A text setting that MQTT carries, as read; one that MQTT does not allow is refused with its
// reason and `fallback` is used instead (`withoutValue` says what an empty fallback means). Read
// one byte past the limit, so that a value too long is refused rather than cut.
QString MqttText(const ConfigFile& config, const char* key, const QString& fallback,
                 const char* withoutValue, int maxBytes, TextCheck check)
{
    const QByteArray bytes =
        config.ReadSetting(kSection, key, fallback.toUtf8(), maxBytes + 2).trimmed();
    const std::optional<QString> fault = check(bytes, maxBytes);
    if (!fault) return QString::fromUtf8(bytes);
    const QString consequence = fallback.isEmpty() ? QString::fromLatin1(withoutValue)
                                                   : QStringLiteral("using ") + fallback;
    qWarning("GRAINLINK.INI [MQTT] %s=%s cannot be used (%s); %s", key,
             qUtf8Printable(PrintableSetting(bytes)), qUtf8Printable(*fault),
             qUtf8Printable(consequence));
    return fallback;
}

// A discovery prefix is a topic root that also starts and ends with a level of its own.
std::optional<QString> DiscoveryPrefixFault(const QByteArray& bytes, int maxBytes)
{
    if (const auto fault = TopicRootFault(bytes, maxBytes)) return fault;
    if (bytes.startsWith('/') || bytes.endsWith('/'))
        return QStringLiteral("starts or ends with /");
    return std::nullopt;
}

// The first line of the file.
std::optional<QByteArray> ReadPassword(const QString& path)
{
    const auto read = ReadSmallRegularFile(path, kPasswordFileLimit);
    if (const auto* refused = std::get_if<SmallFileRefusal>(&read)) {
        WarnFile("PasswordFile", path, refused->reason, "logging on without a password");
        return std::nullopt;
    }
    const SmallFile& file = std::get<SmallFile>(read);
    if (file.permissions & (QFile::ReadOther | QFile::WriteOther))
        WarnFile("PasswordFile", path,
                 QStringLiteral("every user of the machine can read or change it"),
                 "make it readable by its owner only (chmod 600)");
    return PasswordLine(file.bytes);
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

    settings.topicRoot =
        MqttText(config, "TopicRoot", defaults.topicRoot, {}, kMaxNameBytes, TopicRootFault);
    settings.clientId = MqttText(config, "ClientId", {}, "using one made by the server",
                                 kMaxNameBytes, MqttStringFault);

    const QString defaultKeepAlive = QString::number(defaults.keepAliveSeconds);
    const QString keepAlive = Read(config, "KeepAlive", defaultKeepAlive, 8);
    if (const auto seconds = Number(keepAlive, 5, 65535))
        settings.keepAliveSeconds = static_cast<int>(*seconds);
    else
        WarnDefault("KeepAlive", keepAlive, defaultKeepAlive);

    settings.username = MqttText(config, "Username", {}, "logging on without a user name",
                                 kMaxUsernameBytes, MqttStringFault);
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
    discovery.prefix = MqttText(config, "DiscoveryPrefix", discovery.prefix, {}, kMaxNameBytes,
                                DiscoveryPrefixFault);
    return discovery;
}

}  // namespace grainlink
