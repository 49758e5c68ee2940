#include "tests/dde/test_broker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace grainlink::test {
namespace {

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

}  // namespace

TestBroker::TestBroker()
    : m_configPath(m_dir.filePath(QStringLiteral("mosquitto.conf"))), m_port(FreeLoopbackPort())
{
    QFile config(m_configPath);
    if (config.open(QIODevice::WriteOnly)) {
        config.write(QStringLiteral("listener %1 127.0.0.1\n").arg(m_port).toUtf8());
        config.write(
            "allow_anonymous true\n"
            "persistence false\n"
            "log_dest stderr\n"
            "log_type error\n"
            "log_type warning\n");
    }
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
}

TestBroker::~TestBroker() { stop(); }

bool TestBroker::start()
{
    m_process.start(QStringLiteral("/usr/sbin/mosquitto"), {QStringLiteral("-c"), m_configPath});
    if (!m_process.waitForStarted(5000)) return false;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(500)) return true;
        QThread::msleep(20);
    }
    return false;
}

void TestBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

}  // namespace grainlink::test
