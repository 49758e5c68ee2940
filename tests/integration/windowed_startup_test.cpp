// The grainlink executable with its windows (on the offscreen platform): a termination signal
// that comes while a start-up message waits for its OK still stops the server.
#include "tests/integration/headless_server.h"

namespace grainlink::test {
namespace {

// Whether the process has its own handler for the signal (Linux: SigCgt in /proc/<pid>/status).
bool Catches(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:")) continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && (mask >> (signalNumber - 1)) & 1;
    }
    return false;
}

class WindowedServer : public HeadlessServer {};

// A copy of the program with no picture file beside it: the splash window first says "Unable to
// load Splash.bmp file." and waits for the OK, which nobody gives.
TEST_F(WindowedServer, StopsOnSigtermWhileTheMissingPictureMessageWaits)
{
    writeConfig(dir.filePath("no-such-device"));
    const QString program = dir.filePath("bin/grainlink");
    QDir().mkpath(dir.filePath("bin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GRAINLINK_SERVER_PATH), program));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(dir.path());
    server.start(program, {});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Catches(server.processId(), SIGTERM); }, 10000));
    QTest::qWait(300);  // the message is up: nothing else happens before its OK

    expectCleanExitOn(SIGTERM);
}

}  // namespace
}  // namespace grainlink::test
