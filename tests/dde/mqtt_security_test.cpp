#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>

#include "platform/mqtt_dde_source.h"
#include "tests/dde/test_broker.h"

namespace grainlink::test {
namespace {

// Runs a tool of the test machine in `dir`; false, with its output, when it fails.
bool RunTool(const QString& dir, const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok) qWarning("%s: %s", qUtf8Printable(program), process.readAll().constData());
    return ok;
}

// A key and a certificate `name`.crt signed by `ca` (self-signed when `ca` is empty).
bool MakeCertificate(const QString& dir, const QString& name, const QString& ca,
                     const QString& subject, const QString& altNames = {})
{
    const QStringList key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                             "-nodes", "-keyout", name + ".key", "-subj", subject};
    if (ca.isEmpty()) return RunTool(dir, "openssl", QStringList{"req", "-x509", "-days", "2",
                                                             "-out", name + ".crt"} + key);
    QFile extensions(dir + '/' + name + ".ext");
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write(altNames.isEmpty() ? "" : ("subjectAltName=" + altNames.toUtf8())) < 0)
        return false;
    extensions.close();
    return RunTool(dir, "openssl", QStringList{"req", "-out", name + ".csr"} + key) &&
           RunTool(dir, "openssl", {"x509", "-req", "-in", name + ".csr", "-CA", ca + ".crt",
                                "-CAkey", ca + ".key", "-CAcreateserial", "-days", "2", "-out",
                                name + ".crt", "-extfile", extensions.fileName()});
}

// Every report of the source, and whether it connects.
struct Watched {
    explicit Watched(MqttSettings settings)
        : source(std::make_unique<MqttDdeSource>(std::move(settings))),
          reports(source.get(), &MqttDdeSource::connectionChanged)
    {
    }
    bool connects() { return QTest::qWaitFor([&] { return source->isConnected(); }, 20000); }
    bool failsWith(const QString& reason)
    {
        return QTest::qWaitFor([&] { return !reports.isEmpty(); }, 20000) &&
               !reports[0][0].toBool() && reports[0][1].toString().contains(reason);
    }
    std::unique_ptr<MqttDdeSource> source;
    QSignalSpy reports;
};

MqttSettings On(quint16 port)
{
    return {.host = "localhost", .port = port, .topicRoot = "GL"};
}

// A certificate authority, a broker certificate for localhost, a client certificate, and a second
// authority that signed neither.
class MqttTlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        const QString dir = s_dir->path();
        s_ready = MakeCertificate(dir, "ca", {}, "/CN=GrainLink test CA") &&
                  MakeCertificate(dir, "other-ca", {}, "/CN=Another CA") &&
                  MakeCertificate(dir, "broker", "ca", "/CN=localhost",
                                  "DNS:localhost,IP:127.0.0.1,IP:::1") &&
                  MakeCertificate(dir, "client", "ca", "/CN=grainlink");
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static QString path(const QString& name) { return s_dir->filePath(name); }

    void SetUp() override
    {
        ASSERT_TRUE(s_ready);
        broker = std::make_unique<TestBroker>(
            "cafile " + path("ca.crt").toUtf8() + "\ncertfile " + path("broker.crt").toUtf8() +
            "\nkeyfile " + path("broker.key").toUtf8() +
            "\nrequire_certificate true\nallow_anonymous true");
        ASSERT_TRUE(broker->start());
    }

    MqttSettings tls(const QString& ca, const QString& client = "client")
    {
        MqttSettings settings = On(broker->securePort());
        settings.caFile = path(ca + ".crt");
        if (!client.isEmpty()) {
            settings.certFile = path(client + ".crt");
            settings.keyFile = path(client + ".key");
        }
        return settings;
    }

    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline bool s_ready = false;
    std::unique_ptr<TestBroker> broker;
};

TEST_F(MqttTlsTest, PublishesOverTlsWithAClientCertificate)
{
    Watched watched(tls("ca"));
    ASSERT_TRUE(watched.connects());
    watched.source->setItem("UNIT1", "Counts4um", "513");
    EXPECT_TRUE(MqttSubscriber(broker->port(), "GL/#").waitFor("GL/UNIT1/Counts4um", "513"));
}

TEST_F(MqttTlsTest, ACertificateThatFailsIsReportedOnceWithTheReasonAndRetried)
{
    const struct {
        const char* ca;
        const char* client;
        const char* reason;
    } rows[] = {
        // The broker's certificate is not trusted.
        {"other-ca", "client",
         "TLS failed: error:0A000086:SSL routines::certificate verify failed"},
        {"missing", "", "cannot read the TLS files "},
        // The broker wants ours (with TLS 1.3 it says so once the handshake is over).
        {"ca", "", "TLS failed: error:0A00045C:SSL routines::tlsv13 alert certificate required"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        Watched watched(tls(row.ca, row.client));
        EXPECT_TRUE(watched.failsWith(row.reason))
            << watched.reports.value(0).value(1).toString().toStdString();
        QTest::qWait(1500);  // several attempts
        EXPECT_EQ(watched.reports.size(), 1);
        EXPECT_FALSE(watched.source->isConnected());
    }
}

TEST(MqttLoginTest, ARefusedLoginIsReportedOnceAndRetriedUntilTheBrokerAcceptsIt)
{
    QTemporaryDir dir;
    const QString passwords = dir.filePath("passwords");
    ASSERT_TRUE(RunTool(dir.path(), "mosquitto_passwd", {"-c", "-b", passwords, "plant", "right"}));
    TestBroker broker("password_file " + passwords.toUtf8() + "\nallow_anonymous false");
    ASSERT_TRUE(broker.start());

    MqttSettings settings = On(broker.securePort());
    settings.username = "plant";
    settings.password = "wrong";
    Watched watched(settings);
    watched.source->setItem("UNIT2", "status", "OK");
    ASSERT_TRUE(watched.failsWith("the broker refused the connection: Connection Refused: not "
                                  "authorised"));
    QTest::qWait(1500);
    EXPECT_EQ(watched.reports.size(), 1);

    // The site mends the broker's side; the server gets in without being restarted.
    ASSERT_TRUE(RunTool(dir.path(), "mosquitto_passwd", {"-b", passwords, "plant", "wrong"}));
    broker.reload();
    ASSERT_TRUE(watched.connects());
    EXPECT_TRUE(MqttSubscriber(broker.port(), "GL/#").waitFor("GL/UNIT2/status", "OK"));
}

TEST(MqttKeepAliveTest, ABrokerThatStopsAnsweringIsReportedAsAKeepaliveTimeout)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttSettings settings = On(broker.port());
    settings.keepAliveSeconds = 5;
    Watched watched(settings);
    ASSERT_TRUE(watched.connects());
    watched.reports.clear();
    broker.freeze();
    const bool timedOut = watched.failsWith("the broker did not answer within the keepalive "
                                            "time (5 s)");
    broker.thaw();
    EXPECT_TRUE(timedOut) << watched.reports.value(0).value(1).toString().toStdString();
    EXPECT_TRUE(watched.connects());
}

TEST(MqttBackOffTest, ABrokerThatDropsEveryConnectionIsRetriedWithGrowingDelays)
{
    // The broker drops a client that sends a packet larger than this, right after accepting it.
    TestBroker broker("allow_anonymous true\nmax_packet_size 1000");
    ASSERT_TRUE(broker.start());
    MqttSettings settings = On(broker.securePort());
    settings.stableAfter = std::chrono::milliseconds(300);
    Watched watched(settings);
    watched.source->setRetained("GL/UNIT1/record", QByteArray(2000, 'x'));

    const auto connections = [&] {
        return std::count_if(watched.reports.begin(), watched.reports.end(),
                             [](const QList<QVariant>& report) { return report[0].toBool(); });
    };
    QTest::qWait(3000);  // 0.25 + 0.5 + 1 s between the first four
    EXPECT_GE(connections(), 2);
    EXPECT_LE(connections(), 5);

    // Once a connection has lasted, a loss is retried at once again.
    watched.source->setRetained("GL/UNIT1/record", {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.source->isConnected(); }, 10000));
    QTest::qWait(600);
    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watched.source->isConnected(); }, 10000));
    ASSERT_TRUE(broker.start());
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(watched.connects());
    EXPECT_LT(back.elapsed(), 2000);  // the first delay, not the 5 s the drops had grown it to
}

}  // namespace
}  // namespace grainlink::test
