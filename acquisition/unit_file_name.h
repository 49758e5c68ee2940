#pragma once

#include <QString>

namespace grainlink {

// The per-unit file name: the unit number goes before the last "." of base (directories
// included), or at the end when there is none. "RawData.txt", 3 gives "RawData3.txt".
QString UnitFileName(const QString& base, int unit);

}  // namespace grainlink
