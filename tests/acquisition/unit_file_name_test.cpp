#include "acquisition/unit_file_name.h"

#include <gtest/gtest.h>

namespace grainlink {
namespace {

TEST(UnitFileName, InsertsTheUnitBeforeTheLastDotOfTheWholePath)
{
    EXPECT_EQ(UnitFileName("C:\\LOGS\\PLANT.TXT", 2), "C:\\LOGS\\PLANT2.TXT");
    EXPECT_EQ(UnitFileName("RawData.txt", 3), "RawData3.txt");
    EXPECT_EQ(UnitFileName("/var/log/v1.0/LOG", 1), "/var/log/v11.0/LOG");
    EXPECT_EQ(UnitFileName("archive.tar.gz", 4), "archive.tar4.gz");
}

TEST(UnitFileName, AppendsTheUnitWhenThereIsNoDot)
{
    EXPECT_EQ(UnitFileName("LOG", 1), "LOG1");
    EXPECT_EQ(UnitFileName("", 2), "2");
}

}  // namespace
}  // namespace grainlink
