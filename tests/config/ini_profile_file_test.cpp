#include "platform/ini_profile_file.h"
#include "tests/config/temp_config.h"

#include <QDir>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

namespace grainlink::test {
namespace {

class IniProfileFileTest : public ::testing::Test {
protected:
    QByteArray read(const char* section, const char* key, int capacity = 80)
    {
        return ini.config().ReadSetting(section, key, "dflt", capacity);
    }
    bool write(const QByteArray& section, const QByteArray& key, const QByteArray& value)
    {
        return ini.config().WriteSetting(section, key, value);
    }

    TempConfig ini;
};

TEST_F(IniProfileFileTest, MissingFileSectionOrKeyGivesTheDefaultCutToCapacity)
{
    EXPECT_EQ(read("Options", "Units"), "dflt");
    EXPECT_EQ(read("Options", "Units", 3), "df");
    EXPECT_EQ(read("Options", "Units", 1), "");
    EXPECT_EQ(read("Options", "Units", 0), "");

    ini.setContents("[Options]\nLog=1\n");
    EXPECT_EQ(read("Options", "Units"), "dflt");
    EXPECT_EQ(read("Settings", "Log"), "dflt");
}

TEST_F(IniProfileFileTest, ReadsLikeAWindowsProfile)
{
    ini.setContents(
        "Stray=before any section\n"
        "; [Options] in a comment\n"
        "  [ OPTIONS ]  \n"
        "; Units=9\n"
        "# Units=8\n"
        "no equals sign here\n"
        "  units  =  3  \n"
        "Units=4\n"
        "Name=\"  quoted  \"\n"
        "Single='x'\n"
        "Half=\"open\n"
        "Empty=\n"
        "FlowFactor1=0.00075abc\n"
        "[Settings]\n"
        "Message time=30\n"
        "[options]\n"
        "Later=ignored, only the first matching section counts\n");

    EXPECT_EQ(read("Options", "Units"), "3");
    EXPECT_EQ(read("options", "UNITS"), "3");
    EXPECT_EQ(read("Options", "Name"), "  quoted  ");
    EXPECT_EQ(read("Options", "Single"), "x");
    EXPECT_EQ(read("Options", "Half"), "\"open");
    EXPECT_EQ(read("Options", "Empty"), "");
    EXPECT_EQ(read("Options", "FlowFactor1", 10), "0.00075ab");
    EXPECT_EQ(read("Options", "Stray"), "dflt");
    EXPECT_EQ(read("Options", "Later"), "dflt");
    EXPECT_EQ(read("Settings", "Message time"), "30");
    EXPECT_EQ(read("Settings", "Units"), "dflt");
}

TEST_F(IniProfileFileTest, ReplacingAValueKeepsEveryOtherByte)
{
    const QByteArray before =
        "; hand-written\n[Options]\nLog=1\n  Units = 3   \n\n[options]\nUnits=7\n[Unit1]\nName=A";
    ini.setContents(before);

    ASSERT_TRUE(write("OPTIONS", "units", "2"));
    QByteArray expected = before;
    expected.replace("  Units = 3   \n", "  Units = 2\n");
    EXPECT_EQ(ini.contents(), expected);

    ASSERT_TRUE(write("Unit1", "Name", "Line 3"));
    expected.replace("Name=A", "Name=Line 3");
    EXPECT_EQ(ini.contents(), expected);
}

TEST_F(IniProfileFileTest, NewKeysGoAtTheEndOfTheirSectionAndNewSectionsAtTheEnd)
{
    ini.setContents("[Options]\nLog=1\n; note\n\n\n[Unit1]\nName=A");

    ASSERT_TRUE(write("Options", "Units", "2"));
    ASSERT_TRUE(write("Unit1", "Port", "3"));
    ASSERT_TRUE(write("Settings", "Message time", "30"));
    EXPECT_EQ(ini.contents(),
              "[Options]\nLog=1\n; note\nUnits=2\n\n\n[Unit1]\nName=A\nPort=3\n"
              "[Settings]\nMessage time=30\n");
}

TEST_F(IniProfileFileTest, WrittenLinesFollowACrLfFile)
{
    ini.setContents("[Options]\r\nLog=1\r\n\r\n[Unit1]\r\nName=A\r\n");

    ASSERT_TRUE(write("Options", "Log", "0"));
    ASSERT_TRUE(write("Options", "Units", "2"));
    ASSERT_TRUE(write("Settings", "Message time", "30"));
    EXPECT_EQ(ini.contents(),
              "[Options]\r\nLog=0\r\nUnits=2\r\n\r\n[Unit1]\r\nName=A\r\n"
              "[Settings]\r\nMessage time=30\r\n");
    EXPECT_EQ(read("Options", "Log"), "0");
}

TEST_F(IniProfileFileTest, AValueCannotCreateOrChangeAnotherKey)
{
    ini.setContents("[Options]\nSecEna=1\n");

    ASSERT_TRUE(write("Unit1", "Name", "x\r\n[Options]\nSecEna=0"));
    EXPECT_EQ(read("Unit1", "Name"), "x  [Options] SecEna=0");
    EXPECT_EQ(read("Options", "SecEna"), "1");

    const QByteArray before = ini.contents();
    EXPECT_FALSE(write("Opt\nions", "Key", "1"));
    EXPECT_FALSE(write("Opt]ions", "Key", "1"));
    EXPECT_FALSE(write("Options", "Sec\rEna", "0"));
    EXPECT_FALSE(write("Options", "SecEna=0\nX", "0"));
    EXPECT_FALSE(write("Options", ";SecEna", "0"));
    EXPECT_FALSE(write("Options", "", "0"));
    EXPECT_EQ(ini.contents(), before);
}

TEST_F(IniProfileFileTest, NewFileAndDirectoryReadBackEveryValueAsWritten)
{
    IniProfileFile nested(QFileInfo(ini.path()).absolutePath() + "/etc/grainlink/GRAINLINK.INI");
    for (const QByteArray& value : {QByteArray("\xE1\xE2\xE3"), QByteArray(" lead"),
                                    QByteArray("trail\t"), QByteArray("\"both\""), QByteArray("'"),
                                    QByteArray(""), QByteArray("a = b ; c")}) {
        ASSERT_TRUE(nested.write("Unit1", "Name", value));
        EXPECT_EQ(nested.read("Unit1", "Name", "dflt", 80), value);
    }
}

TEST_F(IniProfileFileTest, APathThatCannotBeReadIsNotReplaced)
{
    const QString dirPath = QFileInfo(ini.path()).absolutePath() + "/AS_DIR";
    ASSERT_TRUE(QDir().mkpath(dirPath));
    IniProfileFile directory(dirPath);
    EXPECT_FALSE(directory.write("Options", "Log", "0"));
    EXPECT_TRUE(QFileInfo(dirPath).isDir());
}

TEST_F(IniProfileFileTest, ReplacingKeepsThePermissions)
{
    ini.setContents("[Options]\nLog=1\n");
    // 0640, unlike a new file's usual 0644.
    ASSERT_TRUE(QFile::setPermissions(ini.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const auto before = QFile::permissions(ini.path());
    ASSERT_TRUE(write("Options", "Log", "0"));
    EXPECT_EQ(QFile::permissions(ini.path()), before);
}

TEST_F(IniProfileFileTest, ACrashBeforeTheRenameLeavesTheOldFileIntact)
{
    const QByteArray before = "[Options]\nLog=1\nUnits=3\n";
    ini.setContents(before);

    constexpr int kCrashed = 42;
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        IniProfileFile dying(ini.path(), [] { _exit(kCrashed); });
        dying.write("Options", "Units", "2");
        _exit(0);  // only reached if the hook was not called
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kCrashed);

    EXPECT_EQ(ini.contents(), before);
    EXPECT_EQ(read("Options", "Units"), "3");
    ASSERT_TRUE(write("Options", "Units", "2"));
    EXPECT_EQ(read("Options", "Units"), "2");
}

}  // namespace
}  // namespace grainlink::test
