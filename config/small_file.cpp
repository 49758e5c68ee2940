#include "config/small_file.h"

#include <QFile>
#include <QFileInfo>

namespace grainlink {

std::variant<SmallFile, SmallFileRefusal> ReadSmallRegularFile(const QString& path, qint64 limit)
{
    const QFileInfo info(path);
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(limit);
    if (!info.exists())
        return SmallFileRefusal{SmallFileRefusal::Missing, QStringLiteral("no such file")};
    if (!info.isFile())
        return SmallFileRefusal{SmallFileRefusal::NotRegularFile,
                                QStringLiteral("not a regular file")};
    if (info.size() > limit) return SmallFileRefusal{SmallFileRefusal::TooLarge, tooLarge};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SmallFileRefusal{SmallFileRefusal::Unreadable, file.errorString()};
    SmallFile read{file.read(limit + 1), info.permissions()};
    if (read.bytes.size() > limit) return SmallFileRefusal{SmallFileRefusal::TooLarge, tooLarge};
    return read;
}

}  // namespace grainlink
