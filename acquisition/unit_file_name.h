#pragma once

#include <QString>

namespace grainlink {

// The per-unit file name: the unit number goes before the last "." of the file name in base,
// or at the end when there is none; the directories stay as they are. "RawData.txt", 3 gives
// "RawData3.txt", "/srv/.grain/log", 1 gives "/srv/.grain/log1".
QString UnitFileName(const QString& base, int unit);

}  // namespace grainlink
