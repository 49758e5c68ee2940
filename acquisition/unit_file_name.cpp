#include "acquisition/unit_file_name.h"

namespace grainlink {

QString UnitFileName(const QString& base, int unit)
{
    // Only the file name's own dot counts: one in a directory ("/srv/.grain/log") is not an
    // extension.
    const qsizetype nameStart = base.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    const QString number = QString::number(unit);
    if (dot < nameStart) return base + number;
    return base.left(dot) + number + base.mid(dot);
}

}  // namespace grainlink
