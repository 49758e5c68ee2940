#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>
#include <vector>

namespace grainlink::test {

// A private mosquitto on a free loopback port, for the tests and benchmarks whose point is the
// real broker. Nothing is persisted, so a restart forgets every retained message; the port stays
// the same across stop() and start(), as with a restarted production broker.
class TestBroker {
public:
    TestBroker()
    {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, 0)) m_port = probe.serverPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~TestBroker() { stop(); }

    // Starts the broker and waits until it accepts connections; false if it does not.
    bool start()
    {
        m_process.start(QStringLiteral("/usr/sbin/mosquitto"), {"-p", QString::number(m_port)});
        QByteArray log;
        while (!log.contains(" running\n") && m_process.waitForReadyRead(10000))
            log += m_process.readAll();
        if (!log.contains(" running\n")) qWarning("mosquitto: %s", log.constData());
        return log.contains(" running\n");
    }
    void stop() { m_process.close(); }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
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
    // Blocks until the next event instead of sleeping between checks, which slowed the benchmark.
    bool waitFor(const QByteArray& topic, const QByteArray& payload)
    {
        QTimer tick;  // so that the deadline is seen
        tick.start(100);
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
            const std::vector<QByteArray> found = payloads(topic);
            if (!found.empty() && found.back() == payload) return true;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return false;
    }

    std::vector<Message> messages;

private:
    QProcess m_process;
};

}  // namespace grainlink::test
