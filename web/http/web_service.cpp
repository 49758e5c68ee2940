#include "web/http/web_service.h"

#include "config/http_settings.h"
#include "config/small_file.h"
#include "platform/password_hash.h"
#include "web/http/http_listener.h"
#include "web/web_api.h"
#include "web/web_users.h"

#include <QFile>
#include <QFileInfo>

namespace grainlink {
namespace {

constexpr qint64 kUsersFileLimit = 1024 * 1024;

void Refuse(const char* key, const QString& value, const QString& why)
{
    qWarning("GRAINLINK.INI [HTTP] %s=%s: %s; the web server is off", key, qUtf8Printable(value),
             qUtf8Printable(why));
}

}  // namespace

WebService::WebService(ServerCore& core, QString chartFolder, QObject* parent)
    : QObject(parent),
      m_core(core),
      m_chartFolder(std::move(chartFolder)),
      m_feed(core.plant(), core.items(), core.history(), core.state())
{
    connect(&core, &ServerCore::recordStored, &m_feed,
            [this](int unit) { m_feed.recordStored(unit); });
}

WebService::~WebService() = default;

quint16 WebService::port() const
{
    return m_listener ? m_listener->port() : 0;
}

bool WebService::readUsers(const QString& path)
{
    const auto read = ReadSmallRegularFile(path, kUsersFileLimit);
    if (const auto* refused = std::get_if<SmallFileRefusal>(&read)) {
        const bool notSmall = refused->fault == SmallFileRefusal::NotRegularFile ||
                              refused->fault == SmallFileRefusal::TooLarge;
        Refuse("Users", path,
               notSmall ? QStringLiteral("not a regular file of at most 1 MiB") : refused->reason);
        return false;
    }
    const SmallFile& file = std::get<SmallFile>(read);
    if (file.permissions & QFile::WriteOther) {
        Refuse("Users", path, QStringLiteral("every user of the machine can change it"));
        return false;
    }
    m_users = std::make_unique<WebUsers>(file.bytes, PasswordMatchesHash, m_core.clock());
    for (const QString& fault : m_users->faults())
        qWarning("GRAINLINK.INI [HTTP] Users=%s: %s; that line is skipped", qUtf8Printable(path),
                 qUtf8Printable(fault));
    if (m_users->size() == 0) {
        Refuse("Users", path, QStringLiteral("names nobody who can log on"));
        return false;
    }
    return true;
}

bool WebService::start()
{
    const HttpSettings settings = ReadHttpSettings(m_core.config());
    if (!settings.listen) return false;
    if (!settings.usersFile.isEmpty() && !readUsers(settings.usersFile)) return false;
    m_api = std::make_unique<WebApi>(m_core.plant(), m_core.items(), m_core.history(),
                                     m_core.state(), m_feed, m_users.get(), m_chartFolder);
    m_listener = std::make_unique<HttpListener>(*m_api, m_feed);
    const ListenAddress& address = *settings.listen;
    const QString written = address.host.contains(u':')
                                ? QStringLiteral("[%1]:%2").arg(address.host).arg(address.port)
                                : QStringLiteral("%1:%2").arg(address.host).arg(address.port);
    if (const auto fault = m_listener->listen(address, settings.certFile, settings.keyFile)) {
        m_listener.reset();
        Refuse("Listen", written, *fault);
        return false;
    }
    qInfo("HTTP: the web page and API at %s://%s/%s",
          settings.certFile.isEmpty() ? "http" : "https", qUtf8Printable(written),
          m_users ? " (users log on)" : "");
    if (!QFileInfo::exists(m_api->chartScript()))
        qWarning("HTTP: the chart library %s is missing, so the page shows no charts; install "
                 "libjs-dygraphs",
                 qUtf8Printable(m_api->chartScript()));
    return true;
}

}  // namespace grainlink
