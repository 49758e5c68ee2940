#pragma once

#include "config/http_settings.h"
#include "web/live_feed.h"
#include "web/web_api.h"

#include <QAbstractHttpServer>

#include <memory>
#include <optional>

namespace grainlink {

// The socket side of the web server, on Qt's HTTP server module: it accepts connections (with
// TLS when given a certificate), hands each parsed request to the WebApi, writes the reply, and
// hands a live reply's socket to the LiveFeed. It holds no HTTP logic of its own.
//
// What the module does not bound, it does: a request larger than kMaxRequestBytes (request
// line, headers and any body together) gets 413 and the connection is closed, before the
// module has parsed or buffered more; at most kMaxConnections connections are served at once
// (others get 503); a connection idle for kIdleMs without a live stream is closed.
class HttpListener : public QAbstractHttpServer {
    Q_OBJECT

public:
    static constexpr qint64 kMaxRequestBytes = 16 * 1024;
    static constexpr int kMaxConnections = 256;
    static constexpr int kIdleMs = 60000;

    HttpListener(WebApi& api, LiveFeed& feed, QObject* parent = nullptr);
    ~HttpListener() override;

    // Starts listening; the reason when it cannot (address, port, certificate or key).
    std::optional<QString> listen(const ListenAddress& address, const QString& certFile,
                                  const QString& keyFile);
    quint16 port() const { return m_port; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void watch(QTcpSocket* socket);

    WebApi& m_api;
    LiveFeed& m_feed;
    quint16 m_port = 0;
    std::shared_ptr<int> m_connections = std::make_shared<int>(0);
};

}  // namespace grainlink
