// The grainlink executable in headless mode, fed by the simulator: panel changes on standard
// output, raw data in the working directory, a clean exit on SIGTERM.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// A loopback port nobody listens on, so the server's broker connection is refused at once.
quint16 UnusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

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

    void startSimulator(const QString& link)
    {
        simulator.start(QStringLiteral(GRAINLINK_SIM_PATH),
                        {"--link", link, "--interval", "5", "--unit", "1"});
        ASSERT_TRUE(simulator.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(link); }, 5000));
    }

    void writeConfig(const QString& link)
    {
        QDir().mkpath(dir.filePath("config"));
        QFile ini(dir.filePath("config/GRAINLINK.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Unit1]\nEnable=1\nPort=1\nName=Line A\n"
                                 "[Options]\nRawLog=1\nLog=1\nFile=Data.log\n[Serial]\nPort1=%1\n"
                                 "[MQTT]\nHost=127.0.0.1\nPort=%2\n")
                      .arg(link)
                      .arg(UnusedPort())
                      .toUtf8());
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

    QTemporaryDir dir;
    QProcess simulator;
    QProcess server;
    QStringList seen;
};

TEST_F(HeadlessServer, ShowsFramedRecordsOnStandardOutputAndStopsCleanlyOnSigterm)
{
    const QString link = dir.filePath("unit1");
    startSimulator(link);
    writeConfig(link);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
    env.remove("DISPLAY");
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(dir.path());
    server.start(QStringLiteral(GRAINLINK_SERVER_PATH), {"--headless"});
    ASSERT_TRUE(server.waitForStarted());

    ASSERT_TRUE(waitForLine("lbl_rx_cnt(1) = 1", 15000)) << seen.join('\n').toStdString();
    EXPECT_TRUE(seen.contains("frame_comms(1) = Unit 1 Rx Data (Enabled)  Line A"));
    const auto rx = std::find_if(seen.begin(), seen.end(),
                                 [](const QString& l) { return l.startsWith("lbl_rx(1) = ;"); });
    ASSERT_NE(rx, seen.end());
    EXPECT_TRUE(rx->endsWith("\\r\\n")) << rx->toStdString();

    ::kill(static_cast<pid_t>(server.processId()), SIGTERM);
    ASSERT_TRUE(server.waitForFinished(5000));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);

    QFile raw(dir.filePath("RawData1.txt"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().endsWith("\r\n\r\n")) << "each record is followed by CR LF";

    // The data log: created with its header at start-up, one line per record.
    QFile log(dir.filePath("Data1.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Date;Time;4\xB5m counts/mL;"));
    EXPECT_EQ(lines[1].count(';'), 15);
    EXPECT_TRUE(lines[1].endsWith(" \r"));
    EXPECT_TRUE(QFile::exists(dir.filePath("Data4.log")));
}

}  // namespace
