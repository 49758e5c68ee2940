// The web server over real loopback sockets: requests on one kept connection, what Qt's HTTP
// parser hands on of a traversal attempt, an oversized request, a live stream, TLS, and the
// settings that keep the server off.
#include "tests/web/http_client.h"
#include "tests/web/web_fixture.h"
#include "web/http/http_listener.h"
#include "web/http/web_service.h"

#include <QProcess>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace grainlink::test {
namespace {

class HttpOverLoopback : public WebCoreTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(listener.listen({QStringLiteral("127.0.0.1"), 0}, {}, {}), std::nullopt);
        socket.connectToHost(QHostAddress::LocalHost, listener.port());
        ASSERT_TRUE(socket.waitForConnected(5000));
    }

    WebApi api{core.plant(), core.items(), core.history(), core.state(), feed};
    HttpListener listener{api, feed};
    QTcpSocket socket;
};

TEST_F(HttpOverLoopback, RequestsFollowOneAnotherOnOneConnection)
{
    const auto units = Exchange(socket, Get("/api/v1/units"));
    ASSERT_TRUE(units);
    EXPECT_EQ(units->status, 200);
    EXPECT_EQ(units->header("Content-Type"), "application/json");
    EXPECT_TRUE(units->body.contains(R"("name":"Line A")"));

    const auto head = Exchange(socket, "HEAD /api/v1/units HTTP/1.1\r\nHost: x\r\n\r\n", false);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->header("Content-Length"), units->header("Content-Length"));

    const auto post = Exchange(socket, "POST /api/v1/units HTTP/1.1\r\nHost: x\r\n"
                                       "Content-Length: 8\r\n\r\nEnable=0");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);

    const auto csv = Exchange(socket, Get("/api/v1/units/1/history?format=csv"));
    ASSERT_TRUE(csv);
    EXPECT_TRUE(csv->body.startsWith("Time,"));
    EXPECT_EQ(socket.state(), QAbstractSocket::ConnectedState);
}

TEST_F(HttpOverLoopback, TraversalAttemptsReachNoFile)
{
    for (const QByteArray target :
         {"/../../../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/api/v1/..%2f..%2fetc/passwd",
          "//etc/passwd", "/app.js/../../etc/passwd", "/dygraph.min.js%00.html"}) {
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, listener.port());
        const auto reply = Exchange(client, Get(target));
        ASSERT_TRUE(reply) << target.toStdString();
        EXPECT_TRUE(reply->status == 400 || reply->status == 404) << target.toStdString();
        EXPECT_TRUE(reply->body.startsWith(R"({"error":)")) << reply->body.toStdString();
    }
}

TEST_F(HttpOverLoopback, AnOversizedRequestIsRefusedAndTheConnectionClosed)
{
    const QByteArray padding(HttpListener::kMaxRequestBytes, 'x');
    const auto reply =
        Exchange(socket, "GET /api/v1/units HTTP/1.1\r\nHost: x\r\nX-Padding: " + padding);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 413);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
}

TEST_F(HttpOverLoopback, ALiveStreamCarriesEachRecordUntilTheClientGoes)
{
    socket.write(Get("/api/v1/live"));
    QByteArray stream;
    const auto arrived = [&](const QByteArray& text) {
        return QTest::qWaitFor([&] { return (stream += socket.readAll()).contains(text); }, 5000);
    };
    ASSERT_TRUE(arrived("retry: 3000\n\n"));
    EXPECT_TRUE(stream.contains("Content-Type: text/event-stream"));
    EXPECT_FALSE(stream.contains("Content-Length"));
    EXPECT_EQ(feed.size(), 1);

    fakes[1]->receive(kRecord);
    ticks(4);
    EXPECT_TRUE(arrived("event: record\ndata: {\"unit\":1,\"row\":{"));
    EXPECT_TRUE(arrived("event: unit\ndata: "));

    socket.disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return feed.size() == 0; }, 5000));
}

// A self-signed certificate for "localhost" made by openssl, in a directory of its own.
struct Certificate {
    Certificate()
    {
        made = QProcess::execute(QStringLiteral("openssl"),
                                 {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                  "-subj", "/CN=localhost", "-addext",
                                  "subjectAltName=DNS:localhost", "-keyout", key, "-out",
                                  cert}) == 0;
    }
    QTemporaryDir dir;
    QString cert = dir.filePath("cert.pem");
    QString key = dir.filePath("key.pem");
    bool made = false;
};

TEST_F(WebCoreTest, WithACertificateOnlyTlsIsSpoken)
{
    Certificate certificate;
    ASSERT_TRUE(certificate.made);
    WebApi api(core.plant(), core.items(), core.history(), core.state(), feed);
    HttpListener refused(api, feed);
    EXPECT_TRUE(refused.listen({"127.0.0.1", 0}, certificate.cert, certificate.cert)
                    ->contains("KeyFile"));
    HttpListener listener(api, feed);
    ASSERT_EQ(listener.listen({"127.0.0.1", 0}, certificate.cert, certificate.key), std::nullopt);

    QSslSocket tls;
    QSslConfiguration trust = tls.sslConfiguration();
    trust.setCaCertificates(QSslCertificate::fromPath(certificate.cert));
    tls.setSslConfiguration(trust);
    tls.connectToHostEncrypted(QStringLiteral("localhost"), listener.port());
    const auto reply = Exchange(tls, Get("/api/v1/units"));
    ASSERT_TRUE(reply) << tls.errorString().toStdString();
    EXPECT_EQ(reply->status, 200);
    EXPECT_TRUE(tls.isEncrypted());

    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, listener.port());
    plain.write(Get("/api/v1/units"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return plain.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_FALSE(plain.readAll().contains("Line A"));
}

TEST_F(WebCoreTest, WhatCannotBeHonouredKeepsTheWebServerOff)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    const QString users = dir.filePath("users");
    QFile file(users);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("ops:$6$salt$hash\n") > 0);
    file.close();
    QFile big(dir.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) &&
                big.write("ops:$6$salt$hash\n" + QByteArray(1024 * 1024, '#')) > 0);
    big.close();
    const QString free = QStringLiteral("[HTTP]\nListen=127.0.0.1:1\n");
    const struct {
        QString section;
        bool usersWorldWritable;
    } rows[] = {
        {{}, false},
        {QStringLiteral("[HTTP]\nListen=127.0.0.1:%1\n").arg(taken.serverPort()), false},
        {free + "Users=" + dir.filePath("none") + "\n", false},
        {free + "Users=" + dir.path() + "\n", false},
        {free + "Users=" + big.fileName() + "\n", false},
        {free + "Users=" + users + "\n", true},
    };
    for (const auto& row : rows) {
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (row.usersWorldWritable) permissions |= QFile::ReadOther | QFile::WriteOther;
        ASSERT_TRUE(file.setPermissions(permissions));
        config.setContents(row.section.toUtf8());
        WebService service(core);
        EXPECT_FALSE(service.start()) << row.section.toStdString();
        EXPECT_EQ(service.port(), 0);
    }
}

// Without the chart library the page draws no chart: said once, at the start, with the file.
TEST_F(WebCoreTest, AMissingChartLibraryIsWarnedOfAtTheStart)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    QTemporaryDir chartFolder;
    const QString script = chartFolder.filePath("dygraph.min.js");
    for (const bool installed : {false, true}) {
        QFile library(script);
        if (installed) {
            EXPECT_TRUE(library.open(QIODevice::WriteOnly));
        }
        QTcpServer probe;  // a port free a moment ago
        EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        config.setContents(QStringLiteral("[HTTP]\nListen=127.0.0.1:%1\n").arg(port).toUtf8());
        warnings.clear();
        WebService service(core, chartFolder.path());
        EXPECT_TRUE(service.start()) << installed;
        EXPECT_EQ(warnings, installed ? QStringList()
                                      : QStringList("HTTP: the chart library " + script +
                                                    " is missing, so the page shows no charts; "
                                                    "install libjs-dygraphs"));
    }
    qInstallMessageHandler(previous);
}

}  // namespace
}  // namespace grainlink::test
