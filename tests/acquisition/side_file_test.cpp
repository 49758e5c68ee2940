#include "acquisition/side_file.h"
#include "tests/support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

TEST(SideFileWriter, TroubleIsReportedOnceWithTheReasonAndAgainWhenTheFileRecovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RawData2.txt");
    QStringList reports;
    SideFileWriter writer([&](int unit, const QString& text) {
        reports << QStringLiteral("%1: %2").arg(unit).arg(text);
    });

    ASSERT_TRUE(QDir().mkdir(path));  // the file turned into a directory
    EXPECT_FALSE(writer.Append(2, path, "a\r\n"));
    EXPECT_FALSE(writer.Append(2, path, "b\r\n"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("2: cannot write " + path + ": ")) << reports[0].toStdString();
    EXPECT_GT(reports[0].size(), QString("2: cannot write " + path + ": ").size());

    ASSERT_TRUE(QDir().rmdir(path));
    EXPECT_TRUE(writer.Append(2, path, "c\r\n"));
    EXPECT_TRUE(writer.Append(2, path, "d\r\n"));
    EXPECT_EQ(reports, (QStringList{reports[0], "2: " + path + " is written again"}));
    EXPECT_EQ(ReadFile(path), "c\r\nd\r\n");
}

}  // namespace
}  // namespace grainlink::test
