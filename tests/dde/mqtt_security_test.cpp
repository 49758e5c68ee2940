#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

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

// A key `name`.key and a certificate `name`.crt for localhost, signed by `ca` (self-signed when
// `ca` is empty).
bool MakeCertificate(const QString& dir, const QString& name, const QString& subject,
                     const QString& ca = {})
{
    QStringList arguments = {"req", "-x509", "-days", "2", "-newkey", "ec", "-pkeyopt",
                             "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", name + ".key",
                             "-out", name + ".crt", "-subj", subject, "-addext",
                             "subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1"};
    if (!ca.isEmpty()) arguments << "-CA" << ca + ".crt" << "-CAkey" << ca + ".key";
    return RunTool(dir, "openssl", arguments);
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

// A broker on TLS that wants a client certificate and a login. Its certificate authority signed
// the broker's certificate (for localhost) and the client's; a second one signed neither.
TEST(MqttSecurityTest, ATlsOrLoginFailureIsReportedOnceWithTheReasonAndRetriedUntilItIsMended)
{
    QTemporaryDir dir;
    const auto path = [&](const QString& name) { return dir.filePath(name).toUtf8(); };
    ASSERT_TRUE(MakeCertificate(dir.path(), "ca", "/CN=GrainLink test CA") &&
                MakeCertificate(dir.path(), "other-ca", "/CN=Another CA") &&
                MakeCertificate(dir.path(), "broker", "/CN=localhost", "ca") &&
                MakeCertificate(dir.path(), "client", "/CN=grainlink", "ca") &&
                RunTool(dir.path(), "mosquitto_passwd", {"-c", "-b", "passwords", "plant", "right"}));
    TestBroker broker("cafile " + path("ca.crt") + "\ncertfile " + path("broker.crt") +
                      "\nkeyfile " + path("broker.key") + "\nrequire_certificate true\n" +
                      "password_file " + path("passwords") + "\nallow_anonymous false");
    ASSERT_TRUE(broker.start());

    const struct {
        const char* ca;
        bool withClient;
        const char* reason;
    } rows[] = {
        // The broker's certificate is not trusted.
        {"other-ca", true, "TLS failed: error:0A000086:SSL routines::certificate verify failed"},
        {"missing", false, "cannot read the TLS files "},
        // The broker wants ours (with TLS 1.3 it says so once the handshake is over).
        {"ca", false, "TLS failed: error:0A00045C:SSL routines::tlsv13 alert certificate required"},
        {"ca", true, "the broker refused the connection: Connection Refused: not authorised"},
    };
    std::unique_ptr<Watched> watched;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        MqttSettings settings = On(broker.securePort());
        settings.caFile = path(QString(row.ca) + ".crt");
        if (row.withClient) {
            settings.certFile = path("client.crt");
            settings.keyFile = path("client.key");
        }
        settings.username = "plant";
        settings.password = "wrong";
        watched.reset();
        const int connections = broker.connections();
        watched = std::make_unique<Watched>(settings);
        EXPECT_TRUE(watched->failsWith(row.reason))
            << watched->reports.value(0).value(1).toString().toStdString();
        // Three more attempts that reach the broker and fail alike are not reported again.
        if (QFile::exists(settings.caFile)) {
            EXPECT_TRUE(broker.waitForConnections(connections + 4));
        }
        EXPECT_EQ(watched->reports.size(), 1);
    }

    // The site mends the broker's side; the server gets in without being restarted.
    watched->source->setItem("UNIT2", "status", "OK");
    ASSERT_TRUE(RunTool(dir.path(), "mosquitto_passwd", {"-b", "passwords", "plant", "wrong"}));
    broker.reload();
    ASSERT_TRUE(watched->connects());
    EXPECT_TRUE(MqttSubscriber(broker.port(), "GL/#").waitFor("GL/UNIT2/status", "OK"));
}

// A broker stopped before the server connects, then running again: the attempt that its machine
// took is waited for rather than repeated, so the broker serves that one attempt and no last
// will of an attempt given up says "offline".
TEST(MqttFaultyBrokerTest, AStoppedBrokerServesTheOneAttemptItTookOnceItRunsAgain)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttSubscriber subscriber(broker.port(), "GL/#");
    ASSERT_EQ(QProcess::execute("mosquitto_pub", {"-h", "127.0.0.1", "-p",
                                                  QString::number(broker.port()), "-r", "-t",
                                                  "GL/status", "-m", "before"}),
              0);
    ASSERT_TRUE(subscriber.waitFor("GL/status", "before"));  // subscribed

    broker.freeze();
    MqttSettings settings = On(broker.port());
    settings.keepAliveSeconds = 5;
    Watched watched(settings);
    const bool unanswered =
        watched.failsWith("the broker did not answer within the keepalive time (5 s)");
    broker.thaw();
    ASSERT_TRUE(unanswered) << watched.reports.value(0).value(1).toString().toStdString();
    ASSERT_TRUE(watched.connects());
    watched.source->setItem("UNIT1", "status", "OK");
    ASSERT_TRUE(subscriber.waitFor("GL/UNIT1/status", "OK"));
    EXPECT_EQ(subscriber.payloads("GL/status"), (std::vector<QByteArray>{"before", "online"}));
    EXPECT_EQ(watched.reports.size(), 2);  // unanswered, connected
}

// A broker that stops answering, then one that drops every connection right after accepting
// it (a packet larger than it takes), and one that behaves again. The source's timers are driven
// rather than waited for: "retry" holds the delay before the next attempt, and firing "stable"
// stands for a connection that has lasted.
TEST(MqttFaultyBrokerTest, SilenceIsAKeepaliveTimeoutAndDropsAreRetriedWithGrowingDelays)
{
    TestBroker broker("allow_anonymous true\nmax_packet_size 1000");
    ASSERT_TRUE(broker.start());
    MqttSettings settings = On(broker.securePort());
    settings.host = "127.0.0.1";  // one address, so that every failed attempt waits its delay
    settings.keepAliveSeconds = 5;
    Watched watched(settings);
    auto* retry = watched.source->findChild<QTimer*>("retry");
    auto* stable = watched.source->findChild<QTimer*>("stable");
    ASSERT_TRUE(retry && stable);
    const auto lastLonger = [&] {
        stable->start(0);
        return QTest::qWaitFor([&] { return !stable->isActive(); });
    };
    ASSERT_TRUE(watched.connects());
    watched.reports.clear();
    broker.freeze();
    const bool timedOut =
        watched.failsWith("the broker did not answer within the keepalive time (5 s)");
    broker.thaw();
    EXPECT_TRUE(timedOut) << watched.reports.value(0).value(1).toString().toStdString();
    ASSERT_TRUE(watched.connects());

    // Every loss reported is retried after the delay scheduled then; the test hurries the first
    // four on. (An attempt that fails as the one before did is not reported again, so a delay
    // may be passed over.)
    std::vector<int> delays;
    QObject::connect(watched.source.get(), &MqttDdeSource::connectionChanged, retry,
                     [&](bool connected) {
                         if (connected) return;
                         delays.push_back(retry->interval());
                         if (delays.size() < 4) retry->start(0);
                     });
    ASSERT_TRUE(lastLonger());  // the delays start from the shortest
    watched.source->setRetained("GL/UNIT1/record", QByteArray(2000, 'x'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == 4; }, 20000));
    EXPECT_EQ(delays.front(), 250);
    for (size_t k = 1; k < delays.size(); ++k)
        EXPECT_TRUE(delays[k] >= 2 * delays[k - 1] || delays[k] == 5000)
            << "the delays grow up to the longest, 5 s: " << ::testing::PrintToString(delays);

    // Once a connection has lasted, a loss is retried after the shortest delay again.
    watched.source->setRetained("GL/UNIT1/record", {});
    retry->start(0);
    ASSERT_TRUE(watched.connects());
    ASSERT_TRUE(lastLonger());
    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == 5; }, 10000));
    EXPECT_EQ(delays.back(), 250);
    ASSERT_TRUE(broker.start());
    EXPECT_TRUE(watched.connects());
}

}  // namespace
}  // namespace grainlink::test
