#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace grainlink::test {

// A private mosquitto broker on a free loopback port, for the tests and benchmarks whose point is
// the real broker. Nothing is persisted, so a restart forgets every retained message. The broker
// keeps its port across stop() and start(), as a restarted production broker would.
class TestBroker {
public:
    TestBroker();
    ~TestBroker();

    // Starts the broker and waits until it accepts connections; false if it does not.
    bool start();
    void stop();
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QString m_configPath;
    QProcess m_process;
    quint16 m_port = 0;
};

}  // namespace grainlink::test
