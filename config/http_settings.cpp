#include "config/http_settings.h"

#include <QStringList>

namespace grainlink {
namespace {

constexpr const char* kSection = "HTTP";
constexpr int kPathCapacity = 1024;

QString Read(const ConfigFile& config, const char* key, int capacity)
{
    return QString::fromUtf8(config.ReadSetting(kSection, key, {}, capacity)).trimmed();
}

bool Ipv4(const QString& host)
{
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4) return false;
    for (const QString& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!ok || value > 255 || part.isEmpty() || part.size() > 3 || part.front() == u'+')
            return false;
    }
    return true;
}

// The characters of an IPv6 address; the listener checks the rest when it binds.
bool Ipv6Characters(const QString& host)
{
    if (!host.contains(u':')) return false;
    for (QChar c : host)
        if (!(c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f') || c == u':' ||
              c == u'.'))
            return false;
    return true;
}

// 127.0.0.0/8, localhost, or ::1 in any of its spellings (0:0:0:0:0:0:0:1, ::0001).
bool Loopback(const QString& host)
{
    if (host == u"localhost" || (Ipv4(host) && host.startsWith(u"127."))) return true;
    const QStringList groups = host.split(u':');
    if (groups.size() < 3) return false;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const bool last = i + 1 == groups.size();
        if (groups[i].isEmpty() && !last) continue;
        bool ok = false;
        if (groups[i].toUInt(&ok, 16) != (last ? 1U : 0U) || !ok) return false;
    }
    return true;
}

}  // namespace

std::variant<ListenAddress, QString> ParseListenAddress(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return QStringLiteral("no port: write address:port, for example 127.0.0.1:8080");
    QString host = text.first(colon);
    bool ok = false;
    const uint port = text.sliced(colon + 1).toUInt(&ok);
    if (!ok || port < 1 || port > 65535) return QStringLiteral("the port is not 1 to 65535");
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.sliced(1, host.size() - 2);
        if (!Ipv6Characters(host)) return QStringLiteral("not an IPv6 address in brackets");
    } else if (host != u"localhost" && !Ipv4(host)) {
        return QStringLiteral("not an IP address (an IPv6 address goes in brackets: [::1]:8080)");
    }
    return ListenAddress{host, static_cast<quint16>(port)};
}

HttpSettings ReadHttpSettings(const ConfigFile& config)
{
    HttpSettings settings;
    const QString listen = Read(config, "Listen", 64);
    if (listen.isEmpty()) return settings;
    const auto address = ParseListenAddress(listen);
    if (const QString* fault = std::get_if<QString>(&address)) {
        qWarning("GRAINLINK.INI [HTTP] Listen=%s cannot be used (%s); the web server is off",
                 qUtf8Printable(listen), qUtf8Printable(*fault));
        return settings;
    }
    settings.certFile = Read(config, "CertFile", kPathCapacity);
    settings.keyFile = Read(config, "KeyFile", kPathCapacity);
    settings.usersFile = Read(config, "Users", kPathCapacity);
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty()) {
        qWarning("GRAINLINK.INI [HTTP] CertFile and KeyFile go together (TLS needs both); the "
                 "web server is off");
        return settings;
    }
    settings.listen = std::get<ListenAddress>(address);
    if (settings.usersFile.isEmpty() && !Loopback(settings.listen->host))
        qWarning("GRAINLINK.INI [HTTP] Listen=%s without Users: the page and the API are open to "
                 "anyone who can reach that address; set Users to a file of users who log on, "
                 "with CertFile and KeyFile for TLS, or listen on 127.0.0.1 behind a proxy",
                 qUtf8Printable(listen));
    return settings;
}

}  // namespace grainlink
