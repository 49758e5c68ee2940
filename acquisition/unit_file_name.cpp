#include "acquisition/unit_file_name.h"

namespace grainlink {

QString UnitFileName(const QString& base, int unit)
{
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    const QString number = QString::number(unit);
    if (dot < 0) return base + number;
    return base.left(dot) + number + base.mid(dot);
}

}  // namespace grainlink
