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
#include <utility>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Unit 1 named Line A on `device`, raw data and data logging on, plus `extra` lines; the
    // broker on `brokerPort`, or none.
    void writeConfig(const QString& device, const QString& extra = {}, quint16 brokerPort = 0)
    {
        QDir().mkpath(dir.filePath("config"));
        QFile ini(configPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Unit1]\nEnable=1\nPort=1\nName=Line A\n"
                                 "[Options]\nRawLog=1\nLog=1\nFile=Data.log\n[Serial]\nPort1=%1\n"
                                 "[MQTT]\nHost=127.0.0.1\nPort=%2\n%3")
                      .arg(device)
                      .arg(brokerPort != 0 ? brokerPort : UnusedPort())
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

    void startServer(const QStringList& options = {})
    {
        QDir().mkpath(dir.filePath("config"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
        env.remove("DISPLAY");
        server.setProcessEnvironment(env);
        server.setWorkingDirectory(dir.path());
        // As a shell starts it: signals at their defaults, whatever this process ignores.
        server.setChildProcessModifier([output = m_stdoutFd] {
            if (output >= 0) ::dup2(output, STDOUT_FILENO);
            for (int signalNumber : {SIGPIPE, SIGHUP, SIGUSR1, SIGUSR2, SIGQUIT})
                std::signal(signalNumber, SIG_DFL);
            // A test that dies must not leave a server holding its port's lock for the next.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
        });
        server.start(QStringLiteral(GRAINLINK_SERVER_PATH), QStringList{"--headless"} + options);
        if (m_stdoutFd >= 0) ::close(std::exchange(m_stdoutFd, -1));
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

    // Sends the server's standard output into a FIFO of `capacity` bytes instead of the
    // QProcess channel and returns the FIFO's reading end (non-blocking), which the test reads
    // when it chooses, or closes.
    int stdoutToFifo(int capacity)
    {
        const QString path = dir.filePath("stdout.fifo");
        if (mkfifo(QFile::encodeName(path).constData(), 0600) != 0) return -1;
        const int reader =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader < 0 || fcntl(reader, F_SETPIPE_SZ, capacity) < 0) return -1;
        server.setStandardOutputFile(path);
        return reader;
    }

    // Sends the server's standard output into a pipe whose reader has gone before the server
    // starts, as in `grainlink --headless | true`: every line it prints meets EPIPE.
    bool stdoutToGoneReader()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return false;
        ::close(ends[0]);
        m_stdoutFd = ends[1];
        return true;
    }

    // Reads from `fd` what is there now, appending to fifoLines.
    void readFifo(int fd)
    {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) m_fifoBytes.append(buffer, n);
        for (qsizetype end; (end = m_fifoBytes.indexOf('\n')) >= 0;) {
            fifoLines << QString::fromUtf8(m_fifoBytes.left(end));
            m_fifoBytes.remove(0, end + 1);
        }
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
    QStringList fifoLines;

private:
    QByteArray m_fifoBytes;
    int m_stdoutFd = -1;  // the server's standard output when not the QProcess channel or a file
};

}  // namespace grainlink::test
