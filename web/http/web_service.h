#pragma once

#include "server/server_core.h"
#include "web/live_feed.h"
#include "web/web_api.h"

#include <QObject>

#include <memory>

namespace grainlink {

class HttpListener;
class WebUsers;

// The web page and HTTP API of a running server: off unless [HTTP] Listen names an address.
// Made once the server has started (it reads the configuration), headless or windowed alike.
// A setting that cannot be used, a users file that cannot be read and an address that cannot
// be listened on are each reported on standard error with the key and the reason, and the
// web server then stays off; the rest of the server runs either way. A chart library that is
// not installed is warned of at the start: the page then shows no charts.
class WebService : public QObject {
    Q_OBJECT

public:
    explicit WebService(ServerCore& core,
                        QString chartFolder = QString::fromLatin1(kChartLibraryFolder),
                        QObject* parent = nullptr);
    ~WebService() override;

    // Reads [HTTP] and listens; false when off or refused.
    bool start();
    // The port listened on; 0 while off.
    quint16 port() const;

private:
    bool readUsers(const QString& path);

    ServerCore& m_core;
    QString m_chartFolder;
    LiveFeed m_feed;
    std::unique_ptr<WebUsers> m_users;
    std::unique_ptr<WebApi> m_api;
    std::unique_ptr<HttpListener> m_listener;
};

}  // namespace grainlink
