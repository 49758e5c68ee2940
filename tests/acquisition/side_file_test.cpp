// The side files of acquisition (raw data, data log): their names, and lines that are written
// whole or not at all.
#include "acquisition/side_file.h"
#include "acquisition/unit_file_name.h"
#include "tests/acquisition/cycle_fixture.h"
#include "tests/support/file_size_limit.h"

#include <sys/mount.h>
#include <unistd.h>

namespace grainlink::test {
namespace {

TEST(UnitFileName, PutsTheUnitBeforeTheLastDotOfTheFileNameOrAtTheEnd)
{
    EXPECT_EQ(UnitFileName("C:\\LOGS\\PLANT.TXT", 2), "C:\\LOGS\\PLANT2.TXT");
    EXPECT_EQ(UnitFileName("/srv/.grain/datalog", 1), "/srv/.grain/datalog1");
    EXPECT_EQ(UnitFileName("/var/log/v1.0/Data.log", 3), "/var/log/v1.0/Data3.log");
    EXPECT_EQ(UnitFileName("archive.tar.gz", 4), "archive.tar4.gz");
    EXPECT_EQ(UnitFileName("LOG", 1), "LOG1");
    EXPECT_EQ(UnitFileName("", 2), "2");
}

// A file system of one page, mounted on a scratch directory while alive: a disk that fills up.
// Mounting needs root.
class OnePageDisk {
public:
    OnePageDisk()
        : m_mounted(::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                            MS_NOSUID | MS_NODEV | MS_NOEXEC,
                            QByteArray("size=" + QByteArray::number(pageSize())).constData()) ==
                    0)
    {
    }
    ~OnePageDisk()
    {
        if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    OnePageDisk(const OnePageDisk&) = delete;
    OnePageDisk& operator=(const OnePageDisk&) = delete;

    static qsizetype pageSize() { return ::sysconf(_SC_PAGESIZE); }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted;
};

TEST(AppendWholeLine, ALineThatDoesNotFitIsCutBackAndTheSystemSaysWhy)
{
    const QByteArray line = ";A10002A201A30003\r\n\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("RawData1.txt");
    ASSERT_EQ(AppendWholeLine(path, ";A10001\r\n\r\n"), "");
    {
        FileSizeLimit nearlyFull(20);
        EXPECT_EQ(AppendWholeLine(path, line), "File too large");
    }
    EXPECT_EQ(ReadFile(path), ";A10001\r\n\r\n");
    EXPECT_EQ(AppendWholeLine(path, ";A10003\r\n\r\n"), "");
    EXPECT_EQ(ReadFile(path), ";A10001\r\n\r\n;A10003\r\n\r\n");

    OnePageDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "a full disk needs a tmpfs, which only root can mount";
    const QString full = disk.filePath("RawData1.txt");
    const QByteArray nearlyAPage(OnePageDisk::pageSize() - 4, 'x');
    ASSERT_EQ(AppendWholeLine(full, nearlyAPage), "");
    EXPECT_EQ(AppendWholeLine(full, line), "No space left on device");
    EXPECT_EQ(ReadFile(full), nearlyAPage);
}

}  // namespace
}  // namespace grainlink::test
