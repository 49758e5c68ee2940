#include "tests/config/temp_config.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace grainlink::test {
namespace {

TEST(IniProfileFileTest, ReadsLikeAWindowsProfile)
{
    TempConfig ini;
    // Without a file every read gives its default; values and defaults alike are cut to
    // capacity - 1 bytes.
    EXPECT_EQ(ini.profile.read("Unit1", "Name", "dflt", 3), "df");
    EXPECT_EQ(ini.profile.read("Unit1", "Name", "dflt", 0), "");
    ini.setContents(
        "Units=0\n; [Options] in a comment\n  [ OPTIONS ]  \n; Units=9\n  units  =  3  \nUnits=4\n"
        "Name=\"  quoted  \"\nSingle='x'\nHalf=\"open\nFlowFactor1=0.00075abc\n"
        "[Settings]\nMessage time=30\n[options]\nLater=1\n");
    const char* const cases[][3] = {
        {"Options", "Units", "3"},          {"options", "UNITS", "3"},
        {"Options", "Name", "  quoted  "},  {"Options", "Single", "x"},
        {"Options", "Half", "\"open"},      {"Options", "Later", "dflt"},
        {"Settings", "Message time", "30"}, {"Settings", "Units", "dflt"}};
    for (const auto& c : cases)
        EXPECT_EQ(ini.profile.read(c[0], c[1], "dflt", 80), c[2]) << c[0] << "/" << c[1];
    EXPECT_EQ(ini.profile.read("Options", "FlowFactor1", "dflt", 10), "0.00075ab");
}

// The same writes on an LF file and on a CRLF file that an editor saved with a byte-order mark:
// a replaced value, a new key after the last non-blank line of its section, a value with line
// breaks, a quoted new key, a new section, and names that would not read back as themselves,
// which are refused. What is written reads back as written.
TEST(IniProfileFileTest, AWriteChangesOnlyItsOwnKey)
{
    const std::pair<QByteArray, QByteArray> files[] = {
        {"; x\n[Options]\n  Units = 3   \n; note\n\n[options]\nUnits=7\n[Unit1]\nName=A",
         "; x\n[Options]\n  Units = 2\n; note\nFile=a\n\n[options]\nUnits=7\n[Unit1]\n"
         "Name=x  [Options] Units=9\nPort=\" 3\"\n[Settings]\nMessage time=30\n"},
        {"\xEF\xBB\xBF[Options]\r\nUnits=3\r\n\r\n[Unit1]\r\nName=A\r\n",
         "\xEF\xBB\xBF[Options]\r\nUnits=2\r\nFile=a\r\n\r\n[Unit1]\r\nName=x  [Options] "
         "Units=9\r\n"
         "Port=\" 3\"\r\n[Settings]\r\nMessage time=30\r\n"}};
    // clang-format off
    const char* const writes[][3] = {
        {"OPTIONS", "units", "2"}, {"Options", "File", "a"}, {"Unit1", "Port", " 3"},
        {"Unit1", "Name", "x\r\n[Options]\nUnits=9"}, {"Settings", "Message time", "30"}};
    const char* const badNames[][2] = {
        {"Opt\nions", "Key"}, {"Opt]ions", "Key"}, {"Options", ""}, {"Options", "Sec\rEna"},
        {"Options", "Units=0\nX"}, {"Options", ";Units"}};
    // clang-format on
    for (const auto& [before, after] : files) {
        TempConfig ini;
        ini.setContents(before);
        for (const auto& w : writes) EXPECT_TRUE(ini.profile.write(w[0], w[1], w[2])) << w[1];
        for (const auto& n : badNames) EXPECT_FALSE(ini.profile.write(n[0], n[1], "0")) << n[1];
        EXPECT_EQ(ini.contents(), after);
        EXPECT_EQ(ini.profile.read("Options", "Units", "", 80), "2");
        EXPECT_EQ(ini.profile.read("Unit1", "Port", "", 80), " 3");
    }
}

// What is there instead of a readable file, and what the file layer says about it. Every read
// gives its default at once, and nothing is written over it.
TEST(IniProfileFileTest, AFileThatIsNotAReasonableTextFileIsRefusedWithItsReason)
{
    TempConfig ini;
    EXPECT_EQ(ini.profile.status().state, FileState::Missing);
    ini.setContents("[Options]\nUnits=3\n");
    EXPECT_EQ(ini.profile.status().state, FileState::Read);
    QFile::remove(ini.path);

    const struct {
        const char* what;
        std::function<bool()> make;
        const char* reason;
    } cases[] = {
        {"fifo", [&] { return mkfifo(QFile::encodeName(ini.path).constData(), 0600) == 0; },
         "not a regular file"},
        // A link to a device that never ends. As root the device is a node of the test's own, so
        // that a faulty write through the link could never replace the system's /dev/zero.
        {"/dev/zero",
         [&] {
             const QString zero = geteuid() == 0 ? ini.dir.filePath("zero") : "/dev/zero";
             const QByteArray node = QFile::encodeName(zero);
             return (geteuid() != 0 ||
                     mknod(node.constData(), S_IFCHR | 0666, makedev(1, 5)) == 0) &&
                    QFile::link(zero, ini.path);
         },
         "not a regular file"},
        {"directory", [&] { return QDir().mkdir(ini.path); }, "not a regular file"},
        {"huge",
         [&] {
             ini.setContents("[Options]\nUnits=3\n" + QByteArray(2 << 20, ';'));
             return true;
         },
         "larger than 1 MiB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        EXPECT_EQ(ini.profile.read("Options", "Units", "1", 80), "1");
        EXPECT_EQ(ini.profile.status().state, FileState::Unreadable);
        EXPECT_EQ(ini.profile.status().reason, c.reason);
        EXPECT_FALSE(ini.profile.write("Options", "Units", "2"));
        const QFileInfo left(ini.path);
        EXPECT_FALSE(left.isFile() && left.size() < (1 << 20)) << "replaced by a new file";
        if (!QFile::remove(ini.path)) QDir().rmdir(ini.path);
    }
}

// The file is read once while it is unchanged, and a change is seen at the next read.
TEST(IniProfileFileTest, ManyReadsOfAnUnchangedFileReadItOnce)
{
    const auto bytesRead = [] {  // through read(2) and its kin, by this process
        QFile io(QStringLiteral("/proc/self/io"));
        EXPECT_TRUE(io.open(QIODevice::ReadOnly));
        const QByteArray stats = io.readAll();
        return stats.mid(stats.indexOf("rchar:") + 6).split('\n')[0].trimmed().toLongLong();
    };
    TempConfig ini;
    const QByteArray padding(100000, ';');
    ini.setContents("[Options]\n" + padding + "\nUnits=3\n");
    // Old enough that its time stamp cannot hide a later change of the same size.
    QFile file(ini.path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    file.close();
    const qint64 before = bytesRead();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(ini.profile.read("Options", "Units", "1", 80), "3");
    EXPECT_LT(bytesRead() - before, 2 * padding.size());
    ini.setContents("[Options]\n" + padding + "\nUnits=4\n");
    EXPECT_EQ(ini.profile.read("Options", "Units", "1", 80), "4");
}

TEST(IniProfileFileTest, ACrashBeforeTheRenameLeavesTheOldFileIntact)
{
    TempConfig ini;
    ini.setContents("[Options]\nUnits=3\n");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        IniProfileFile(ini.path, [] { _exit(42); }).write("Options", "Units", "2");
        _exit(0);  // only reached if the hook was not called
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << status;
    EXPECT_EQ(ini.contents(), "[Options]\nUnits=3\n");
}

// An editor (a second process, which takes no lock) saving while a write is under way, either by
// renaming a new file into place or by writing the file in place, half done when the write reads
// it. The write starts again from what the editor saved: its keys stay beside the one written.
TEST(IniProfileFileTest, AnEditorSavingDuringAWriteKeepsItsKeys)
{
    const QByteArray edited = "[Options]\nUnits=1\nLog=1\nRawLog=1\n[Settings]\nMessage time=30\n";
    // Each editor says "ready", then finishes its save when told to go.
    const char* const editors[] = {
        R"(printf '%s%s' "$2" "$3" > "$1.new"; echo ready; read go; mv "$1.new" "$1")",
        R"(exec 3>"$1"; printf '%s' "$2" >&3; echo ready; read go; printf '%s' "$3" >&3)",
    };
    for (const char* script : editors) {
        SCOPED_TRACE(script);
        TempConfig ini;
        ini.setContents("[Options]\nUnits=1\n");
        QProcess editor;
        editor.start("sh", {"-c", script, "sh", ini.path, edited.left(20), edited.mid(20)});
        ASSERT_TRUE(editor.waitForReadyRead());
        IniProfileFile profile(ini.path, [&editor] {
            if (editor.state() == QProcess::NotRunning) return;
            editor.write("go\n");
            EXPECT_TRUE(editor.waitForFinished());
        });
        EXPECT_TRUE(profile.write("Options", "File", "a"));
        EXPECT_EQ(ini.contents(),
                  "[Options]\nUnits=1\nLog=1\nRawLog=1\nFile=a\n"
                  "[Settings]\nMessage time=30\n");
    }
}

// Two GrainLink processes writing keys of their own at the same time: none is lost.
TEST(IniProfileFileTest, TwoProcessesWritingAtOnceKeepEveryKey)
{
    TempConfig ini;
    constexpr int kKeys = 50;
    const auto writeKeys = [&ini](const QByteArray& section) {
        IniProfileFile profile(ini.path);
        bool written = true;
        for (int i = 0; i < kKeys; ++i)
            written = profile.write(section, "Key" + QByteArray::number(i), "1") && written;
        return written;
    };
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) _exit(writeKeys("Child") ? 0 : 1);
    EXPECT_TRUE(writeKeys("Parent"));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    QByteArrayList lost;
    for (const QByteArray section : {"Parent", "Child"})
        for (int i = 0; i < kKeys; ++i)
            if (ini.profile.read(section, "Key" + QByteArray::number(i), "", 2) != "1")
                lost << section + "/Key" + QByteArray::number(i);
    EXPECT_EQ(lost.join(' '), "");
}

// The file holds the scrambled password, so a rewrite keeps who may read it: owner, group and
// permission bits stay; a file the server creates itself is readable by owner and group only.
TEST(IniProfileFileTest, TheFileKeepsItsOwnerAndPermissions)
{
    TempConfig ini;
    const QByteArray path = QFile::encodeName(ini.path);
    const auto mode = [&path] {
        struct stat st {};
        EXPECT_EQ(stat(path.constData(), &st), 0);
        return std::tuple(st.st_mode & 07777, st.st_uid, st.st_gid);
    };
    const mode_t previousMask = umask(022);
    EXPECT_TRUE(ini.profile.write("Options", "Units", "1"));
    umask(previousMask);
    EXPECT_EQ(std::get<0>(mode()), 0640u);

    // Changing the owner needs root; the permission bits are checked for every user.
    const bool root = geteuid() == 0;
    const std::tuple<mode_t, uid_t, gid_t> kept[] = {
        {0600, root ? 4321u : getuid(), root ? 8765u : getgid()}, {0664, getuid(), getgid()}};
    for (const auto& [permissions, owner, group] : kept) {
        ASSERT_EQ(chmod(path.constData(), permissions), 0);
        ASSERT_EQ(chown(path.constData(), owner, group), 0);
        EXPECT_TRUE(ini.profile.write("Options", "Units", "2"));
        EXPECT_EQ(mode(), std::tuple(permissions, owner, group));
    }
}

}  // namespace
}  // namespace grainlink::test
