// The side files of acquisition (raw data, data log): their names, and lines that are written
// whole or not at all.
#include "acquisition/side_file.h"
#include "acquisition/unit_file_name.h"
#include "tests/acquisition/cycle_fixture.h"
#include "tests/support/file_size_limit.h"

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

TEST(AppendWholeLine, ALineThatDoesNotFitIsCutBackSoTheFileNeverEndsInHalfALine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RawData1.txt");
    ASSERT_EQ(AppendWholeLine(path, ";A10001\r\n\r\n"), "");
    {
        FileSizeLimit nearlyFull(20);
        EXPECT_NE(AppendWholeLine(path, ";A10002A201A30003\r\n\r\n"), "");
    }
    EXPECT_EQ(ReadFile(path), ";A10001\r\n\r\n");
    EXPECT_EQ(AppendWholeLine(path, ";A10003\r\n\r\n"), "");
    EXPECT_EQ(ReadFile(path), ";A10001\r\n\r\n;A10003\r\n\r\n");
}

}  // namespace
}  // namespace grainlink::test
