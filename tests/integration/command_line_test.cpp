// The executable's command line and its standard error as a service's journal sees them.
#include "tests/integration/headless_server.h"

#include <QRegularExpression>

#include <sys/stat.h>

namespace grainlink::test {
namespace {

class CommandLine : public HeadlessServer {
protected:
    // The program started as from a unit file on a machine without any display.
    void startWithoutDisplay(const QStringList& arguments, const QString& journalStream = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "JOURNAL_STREAM"})
            env.remove(name);
        if (!journalStream.isEmpty()) env.insert("JOURNAL_STREAM", journalStream);
        env.insert("GRAINLINK_CONFIG_DIR", dir.filePath("config"));
        server.setProcessEnvironment(env);
        server.setWorkingDirectory(dir.path());
        server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        server.start(QStringLiteral(GRAINLINK_SERVER_PATH), arguments);
        ASSERT_TRUE(server.waitForStarted());
    }

    // "<device>:<inode>" of the file, as systemd names its journal stream.
    static QString StreamOf(const QString& path)
    {
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0) return {};
        return QStringLiteral("%1:%2").arg(status.st_dev).arg(status.st_ino);
    }
};

// A typing error in a unit file must end at once with a reason (and not in the GUI library's
// abort on a machine without a display), so that the service does not restart forever.
TEST_F(CommandLine, IsReadBeforeAnyWindowAndATypingErrorEndsWithTheUsage)
{
    const struct {
        QStringList arguments;
        int status;
        const char* out;  // what standard output starts with
        const char* err;  // what standard error starts with
    } cases[] = {
        {{"--headles"}, 2, "", "grainlink: Unknown option 'headles'.\nUsage: grainlink [options]"},
        {{"headless"}, 2, "", "grainlink: unexpected argument 'headless'.\nUsage: grainlink"},
        {{"--help"}, 0, "Usage: grainlink [options]\n", ""},
        {{"--demo", "-v"}, 0, "grainlink 2.0\n", ""},
        {{}, 1, "", "no display: start it with --headless, or set DISPLAY\n"},
        {{"--demo"}, 1, "", "no display: start it with --headless, or set DISPLAY\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        startWithoutDisplay(c.arguments);
        ASSERT_TRUE(server.waitForFinished(10000));
        EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(server.exitCode(), c.status);
        const QByteArray out = server.readAllStandardOutput();
        const QByteArray err = server.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.out) && (*c.out != '\0' || out.isEmpty())) << out.data();
        EXPECT_TRUE(err.startsWith(c.err) && (*c.err != '\0' || err.isEmpty())) << err.data();
        if (c.status == 2 || c.arguments == QStringList{"--help"}) {
            EXPECT_TRUE((out + err).contains("--headless") && (out + err).contains("--demo"));
        }
    }
}

// Each line carries its priority only where standard error is the journal's stream: the
// variable alone (inherited by a program whose standard error goes elsewhere) is not enough.
TEST_F(CommandLine, StandardErrorLinesCarryTheirPriorityOnlyInTheJournal)
{
    writeConfig(dir.filePath("no-such-device"));
    const QString errors = dir.filePath("stderr.txt");
    const QString other = dir.filePath("other.txt");
    for (const QString& path : {errors, other}) QFile(path).open(QIODevice::WriteOnly);
    const QString journal = StreamOf(errors);
    ASSERT_FALSE(journal.isEmpty());

    for (const QString& stream : {journal, QString(), StreamOf(other)}) {
        SCOPED_TRACE(stream.toStdString());
        QFile::resize(errors, 0);
        const auto tag = [&](int priority) {
            return stream == journal ? QStringLiteral("<%1>").arg(priority) : QString();
        };
        server.setStandardErrorFile(errors, QIODevice::Append);
        startWithoutDisplay({"--headless"}, stream);
        const auto text = [&] {
            QFile file(errors);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        const QString broker = tag(4) + "MQTT: cannot connect to 127.0.0.1:";
        ASSERT_TRUE(QTest::qWaitFor([&] { return text().contains(broker); }, 10000))
            << text().toStdString();
        expectCleanExitOn(SIGTERM);

        startWithoutDisplay({"--headles"}, stream);  // a refusal and its usage, line by line
        ASSERT_TRUE(server.waitForFinished(10000));
        const QStringList lines = text().split('\n', Qt::SkipEmptyParts);
        EXPECT_TRUE(lines.contains(tag(6) + "Configuration: " + configPath()));
        EXPECT_TRUE(lines.contains(tag(4) +
                                   "VELMO QS2600 DDE Server: Communication port 1 cannot be "
                                   "opened now (cannot open " +
                                   dir.filePath("no-such-device") +
                                   ": No such file or directory) - unit 1 will be served as soon "
                                   "as it can be opened"))
            << text().toStdString();
        // Stopping is no trouble, though the broker is then gone.
        EXPECT_EQ(lines.filter(QRegularExpression("^" + QRegularExpression::escape(tag(6)) +
                                                  "MQTT: disconnected from 127.0.0.1:\\d+$"))
                      .size(),
                  1);
        // The events are a timeline beside the warnings, not a second warning of each trouble.
        const QStringList events = lines.filter("Event: ");
        EXPECT_EQ(events.filter(QRegularExpression("^" + QRegularExpression::escape(tag(6)) +
                                                   "Event: Broker lost: cannot connect to ")).size(),
                  1)
            << events.join('\n').toStdString();
        for (const QString& line : events) EXPECT_TRUE(line.startsWith(tag(6))) << line.toStdString();
        EXPECT_TRUE(lines.contains(tag(3) + "grainlink: Unknown option 'headles'."));
        EXPECT_TRUE(lines.contains(tag(3) + "Usage: grainlink [options]"));
        for (const QString& line : lines)
            EXPECT_TRUE(stream == journal ? QRegularExpression("^<[346]>").match(line).hasMatch()
                                          : !line.startsWith('<'))
                << line.toStdString();
    }
}

}  // namespace
}  // namespace grainlink::test
