#include "web/http/http_listener.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace grainlink {
namespace {

// Hands every accepted connection to `watch` before the HTTP module connects to it, so that
// the watcher's slots run first.
template <class Server>
class WatchedServer : public Server {
public:
    explicit WatchedServer(std::function<void(QTcpSocket*)> watch) : m_watch(std::move(watch)) {}

    QTcpSocket* nextPendingConnection() override
    {
        QTcpSocket* socket = Server::nextPendingConnection();
        if (socket) m_watch(socket);
        return socket;
    }

private:
    std::function<void(QTcpSocket*)> m_watch;
};

// Answers without the HTTP module and closes: the module is kept from reading further.
void Refuse(QTcpSocket* socket, int status, const QString& message)
{
    QObject::disconnect(socket, &QIODevice::readyRead, nullptr, nullptr);
    HttpReply reply = JsonError(status, message);
    reply.headers.emplace_back("Connection", "close");
    socket->write(SerializeReply(reply, true));
    socket->disconnectFromHost();
}

// The bounds of one connection: the bytes of the request being read, idleness, and the count
// of connections, which it holds while it lives (it is a child of the socket).
class ConnectionWatch : public QObject {
public:
    ConnectionWatch(QTcpSocket* socket, std::shared_ptr<int> connections)
        : QObject(socket), m_socket(socket), m_connections(std::move(connections))
    {
        ++*m_connections;
        m_idle.setSingleShot(true);
        m_idle.setInterval(HttpListener::kIdleMs);
        connect(&m_idle, &QTimer::timeout, socket, &QTcpSocket::disconnectFromHost);
        connect(socket, &QIODevice::readyRead, this, &ConnectionWatch::bytesArrived);
        m_idle.start();
    }
    ~ConnectionWatch() override { --*m_connections; }

    void goLive() { m_idle.stop(); }

private:
    void bytesArrived()
    {
        if (m_idle.isActive()) m_idle.start();
        // The module reads a request inside a transaction that it commits once the request
        // is whole: outside one, a new request starts.
        if (!m_socket->isTransactionStarted()) m_requestBytes = 0;
        m_requestBytes += m_socket->bytesAvailable();
        if (m_requestBytes > HttpListener::kMaxRequestBytes)
            Refuse(m_socket, 413,
                   QStringLiteral("the request is larger than %1 bytes")
                       .arg(HttpListener::kMaxRequestBytes));
    }

    QTcpSocket* m_socket;
    std::shared_ptr<int> m_connections;
    QTimer m_idle;
    qint64 m_requestBytes = 0;
};

// A live connection as the feed sees it.
class SocketStream : public QObject, public LiveStream {
public:
    static constexpr qint64 kMaxBacklogBytes = 1024 * 1024;

    SocketStream(QTcpSocket* socket, LiveFeed& feed)
        : QObject(socket), m_socket(socket), m_feed(feed)
    {
        m_feed.add(this);
    }
    ~SocketStream() override { m_feed.remove(this); }

    bool send(const QByteArray& bytes) override
    {
        if (m_socket->state() != QAbstractSocket::ConnectedState ||
            m_socket->bytesToWrite() > kMaxBacklogBytes)
            return false;
        return m_socket->write(bytes) == bytes.size();
    }
    void close() override { m_socket->abort(); }

private:
    QTcpSocket* m_socket;
    LiveFeed& m_feed;
};

QByteArray MethodName(QHttpServerRequest::Method method)
{
    using Method = QHttpServerRequest::Method;
    switch (method) {
    case Method::Get: return "GET";
    case Method::Head: return "HEAD";
    case Method::Put: return "PUT";
    case Method::Delete: return "DELETE";
    case Method::Post: return "POST";
    case Method::Options: return "OPTIONS";
    case Method::Patch: return "PATCH";
    case Method::Connect: return "CONNECT";
    case Method::Trace: return "TRACE";
    default: return {};
    }
}

std::optional<QSslKey> ReadKey(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray pem = file.readAll();
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        QSslKey key(pem, algorithm);
        if (!key.isNull()) return key;
    }
    return std::nullopt;
}

}  // namespace

HttpListener::HttpListener(WebApi& api, LiveFeed& feed, QObject* parent)
    : QAbstractHttpServer(parent), m_api(api), m_feed(feed)
{
}

HttpListener::~HttpListener() = default;

std::optional<QString> HttpListener::listen(const ListenAddress& address, const QString& certFile,
                                            const QString& keyFile)
{
    QHostAddress host;
    if (address.host == u"localhost")
        host = QHostAddress::LocalHost;
    else if (!host.setAddress(address.host))
        return QStringLiteral("%1 is not an IP address").arg(address.host);

    const auto watch = [this](QTcpSocket* socket) { this->watch(socket); };
    std::unique_ptr<QTcpServer> server;
    if (certFile.isEmpty()) {
        server = std::make_unique<WatchedServer<QTcpServer>>(watch);
    } else {
        const QList<QSslCertificate> chain = QSslCertificate::fromPath(certFile);
        if (chain.isEmpty())
            return QStringLiteral("CertFile %1 holds no PEM certificate that can be read")
                .arg(certFile);
        const std::optional<QSslKey> key = ReadKey(keyFile);
        if (!key)
            return QStringLiteral("KeyFile %1 holds no PEM private key that can be read (it "
                                  "must not be encrypted)")
                .arg(keyFile);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(chain);
        tls.setPrivateKey(*key);
        auto sslServer = std::make_unique<WatchedServer<QSslServer>>(watch);
        sslServer->setSslConfiguration(tls);
        server = std::move(sslServer);
    }
    if (!server->listen(host, address.port)) return server->errorString();
    m_port = server->serverPort();
    bind(server.release());
    return std::nullopt;
}

void HttpListener::watch(QTcpSocket* socket)
{
    new ConnectionWatch(socket, m_connections);
    if (*m_connections > kMaxConnections)
        Refuse(socket, 503, QStringLiteral("too many connections; try again later"));
}

bool HttpListener::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QByteArray target = request.url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    if (target.isEmpty()) target = "/";
    const HttpRequest parsed{MethodName(request.method()), target,
                             request.value(QByteArrayLiteral("authorization"))};
    HttpReply reply = m_api.respond(parsed);
    const bool close = request.value(QByteArrayLiteral("connection")).toLower() == "close";
    if (close && !reply.live) reply.headers.emplace_back("Connection", "close");
    socket->write(SerializeReply(reply, parsed.method != "HEAD"));
    if (reply.live && parsed.method == "GET") {
        for (QObject* child : socket->children())
            if (auto* watch = dynamic_cast<ConnectionWatch*>(child)) watch->goLive();
        new SocketStream(socket, m_feed);
    } else if (close || reply.live) {
        socket->disconnectFromHost();
    }
    return true;
}

void HttpListener::missingHandler(const QHttpServerRequest&, QTcpSocket* socket)
{
    socket->write(SerializeReply(JsonError(404, QStringLiteral("nothing here")), true));
}

}  // namespace grainlink
