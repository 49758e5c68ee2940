// The grainlink executable with its windows (on the offscreen platform): a termination signal
// that comes while a start-up message waits for its OK still stops the server.
#include "tests/integration/headless_server.h"

namespace grainlink::test {
namespace {

class WindowedServer : public HeadlessServer {};

// A copy of the program whose picture file is a pipe that gives nothing: the splash window says
// "Unable to load Splash.bmp file." and waits for the OK, which nobody gives. Opening the pipe's
// other end shows the test the moment the picture is read, the last step before the message.
TEST_F(WindowedServer, StopsOnSigtermWhileThePictureMessageWaits)
{
    writeConfig(dir.filePath("no-such-device"));
    const QString program = dir.filePath("bin/grainlink");
    QDir().mkpath(dir.filePath("bin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GRAINLINK_SERVER_PATH), program));
    const QByteArray picture = QFile::encodeName(dir.filePath("bin/Splash.bmp"));
    ASSERT_EQ(::mkfifo(picture.constData(), 0600), 0);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(dir.path());
    server.start(program, {});
    ASSERT_TRUE(server.waitForStarted());
    int writer = -1;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (writer = ::open(picture.constData(), O_WRONLY | O_NONBLOCK)) >= 0; }, 10000));
    ::close(writer);

    expectCleanExitOn(SIGTERM);
}

}  // namespace
}  // namespace grainlink::test
