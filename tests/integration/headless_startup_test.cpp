// Start-up of the headless executable with a configuration file it cannot use.
#include "tests/integration/headless_server.h"

#include <sys/stat.h>

namespace grainlink::test {
namespace {

TEST_F(HeadlessServer, SaysWhyTheConfigurationFileCannotBeReadAndStartsOnDefaults)
{
    // A FIFO nobody writes to would hold any plain read forever.
    QDir().mkpath(dir.filePath("config"));
    ASSERT_EQ(mkfifo(QFile::encodeName(configPath()).constData(), 0600), 0);
    startServer();
    ASSERT_TRUE(waitForLine("frame_comms(1) = Unit 1 Rx Data (Disabled)  1", 10000))
        << seen.join('\n').toStdString();
    expectCleanExitOn(SIGTERM);
    const QString errors = QString::fromUtf8(server.readAllStandardError());
    EXPECT_TRUE(errors.contains(configPath() +
                                " cannot be read (not a regular file): every setting takes its "
                                "default"))
        << errors.toStdString();
}

}  // namespace
}  // namespace grainlink::test
