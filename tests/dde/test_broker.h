#pragma once

#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <vector>

namespace grainlink::test {

// Runs the event loop until `done` is true; false after 20 s. Blocks until the next event
// instead of sleeping between checks, which slowed the benchmark.
inline bool RunEventsUntil(const std::function<bool()>& done)
{
    QTimer tick;  // so that the deadline is seen
    tick.start(100);
    for (QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return false;
}

// A private mosquitto on a free loopback port, for the tests and benchmarks whose point is the
// real broker. Nothing is persisted, so a restart forgets every retained message; the ports stay
// the same across stop() and start(), as with a restarted production broker.
// Given the lines of a listener (password file, certificates, ...), the broker also listens on
// securePort() with them, while port() stays open to anonymous test clients.
class TestBroker {
public:
    explicit TestBroker(const QByteArray& secureListener = {})
    {
        QTcpServer probe;
        QTcpServer secondProbe;  // listening at the same time, so that the ports differ
        if (probe.listen(QHostAddress::LocalHost, 0)) m_port = probe.serverPort();
        if (secondProbe.listen(QHostAddress::LocalHost, 0)) m_securePort = secondProbe.serverPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        if (secureListener.isEmpty()) return;
        QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!config.open(QIODevice::WriteOnly)) return;
        // Run as root, it would switch to its own user, which cannot read the test's files.
        config.write("log_dest stderr\nuser root\nper_listener_settings true\nlistener " +
                     QByteArray::number(m_port) + " 127.0.0.1\nallow_anonymous true\nlistener " +
                     QByteArray::number(m_securePort) + " 127.0.0.1\n" + secureListener + '\n');
        m_arguments = QStringList{"-c", config.fileName()};
    }
    ~TestBroker() { stop(); }

    // Starts the broker and waits until it accepts connections; false if it does not.
    bool start()
    {
        m_process.start(QStringLiteral("/usr/sbin/mosquitto"),
                        m_arguments.isEmpty() ? QStringList{"-p", QString::number(m_port)}
                                              : m_arguments);
        m_log.clear();
        while (!m_log.contains(" running\n") && m_process.waitForReadyRead(10000))
            m_log += m_process.readAll();
        if (!m_log.contains(" running\n")) qWarning("mosquitto: %s", m_log.constData());
        return m_log.contains(" running\n");
    }
    void stop() { m_process.close(); }
    // Makes the broker read its password file again.
    void reload() { signal(SIGHUP); }
    // A broker that stops answering while its connections stay open, and that comes back.
    void freeze() { signal(SIGSTOP); }
    void thaw() { signal(SIGCONT); }
    // The connections the broker has taken since it started, as it logs them.
    int connections()
    {
        m_log += m_process.readAll();
        return static_cast<int>(m_log.count("New connection from "));
    }
    // Runs the event loop until the broker has taken `count` connections since it started;
    // false after 20 s.
    bool waitForConnections(int count)
    {
        return RunEventsUntil([&] { return connections() >= count; });
    }
    quint16 port() const { return m_port; }
    quint16 securePort() const { return m_securePort; }

private:
    void signal(int number)
    {
        if (m_process.processId() > 0) ::kill(static_cast<pid_t>(m_process.processId()), number);
    }

    QTemporaryDir m_dir;  // of the configuration
    QStringList m_arguments;
    QProcess m_process;
    QByteArray m_log;  // since the last start
    quint16 m_port = 0;
    quint16 m_securePort = 0;
};

// A program reading the items: mosquitto_sub on one topic filter, recording every message and the
// moment it was received. It subscribes again after a broker restart.
class MqttSubscriber {
public:
    struct Message {
        QByteArray topic;
        QByteArray payload;
        qint64 receivedNs;  // since the epoch
    };

    MqttSubscriber(quint16 port, const QString& filter)
    {
        QObject::connect(&m_process, &QProcess::readyRead, &m_process, [this] {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().chopped(1);
                const QList<QByteArray> f = line.split(' ');  // the payload may hold spaces
                messages.push_back({f[1], line.mid(f[0].size() + f[1].size() + 2),
                                    QByteArray(f[0]).remove(10, 1).toLongLong()});
            }
        });
        m_process.start(QStringLiteral("mosquitto_sub"),
                        {"-h", "127.0.0.1", "-p", QString::number(port), "-q", "1", "-t", filter,
                         "-F", "%U %t %p", "--nodelay"});
    }
    ~MqttSubscriber() { m_process.close(); }

    std::vector<QByteArray> payloads(const QByteArray& topic) const
    {
        std::vector<QByteArray> found;
        for (const Message& message : messages)
            if (message.topic == topic) found.push_back(message.payload);
        return found;
    }
    // Runs the event loop until the latest message on the topic has the payload; false after 20 s.
    bool waitFor(const QByteArray& topic, const QByteArray& payload)
    {
        return RunEventsUntil([&] {
            const std::vector<QByteArray> found = payloads(topic);
            return !found.empty() && found.back() == payload;
        });
    }

    std::vector<Message> messages;

private:
    QProcess m_process;
};

}  // namespace grainlink::test
