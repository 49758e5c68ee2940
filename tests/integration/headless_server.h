#pragma once

// The grainlink executable in headless mode, run from a scratch directory with a configuration
// of its own and a broker port nobody listens on, so that it never waits for one.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace grainlink::test {

class HeadlessServer : public ::testing::Test {
protected:
    ~HeadlessServer() override
    {
        for (QProcess* process : {&server, &simulator}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->kill();
            process->waitForFinished();
        }
    }

    // A loopback port nobody listens on, so the server's broker connection is refused at once.
    static quint16 UnusedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    QString configPath() const { return dir.filePath("config/GRAINLINK.INI"); }

    // Unit 1 named Line A on `device`, raw data logging on, plus `extra` lines.
    void writeConfig(const QString& device, const QString& extra = {})
    {
        QDir().mkpath(dir.filePath("config"));
        QFile ini(configPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Unit1]\nEnable=1\nPort=1\nName=Line A\n"
                                 "[Options]\nRawLog=1\n[Serial]\nPort1=%1\n"
                                 "[MQTT]\nHost=127.0.0.1\nPort=%2\n%3")
                      .arg(device)
                      .arg(UnusedPort())
                      .arg(extra)
                      .toUtf8());
    }

    void startSimulator(const QString& link)
    {
        simulator.start(QStringLiteral(GRAINLINK_SIM_PATH),
                        {"--link", link, "--interval", "5", "--unit", "1"});
        ASSERT_TRUE(simulator.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(link); }, 5000));
    }

    void startServer()
    {
        QDir().mkpath(dir.filePath("config"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
        env.remove("DISPLAY");
        server.setProcessEnvironment(env);
        server.setWorkingDirectory(dir.path());
        server.start(QStringLiteral(GRAINLINK_SERVER_PATH), {"--headless"});
        ASSERT_TRUE(server.waitForStarted());
    }

    // Reads the server's output until a line equal to `line` arrives.
    bool waitForLine(const QString& line, int timeoutMs)
    {
        return QTest::qWaitFor(
            [&] {
                while (server.canReadLine()) {
                    const QString got = QString::fromUtf8(server.readLine()).chopped(1);
                    seen << got;
                    if (got == line) return true;
                }
                return false;
            },
            timeoutMs);
    }

    // Sends the signal and expects the clean exit with status 0.
    void expectCleanExitOn(int signalNumber)
    {
        ::kill(static_cast<pid_t>(server.processId()), signalNumber);
        ASSERT_TRUE(server.waitForFinished(5000));
        EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(server.exitCode(), 0);
    }

    QTemporaryDir dir;
    QProcess simulator;
    QProcess server;
    QStringList seen;
};

}  // namespace grainlink::test
