#include "server/build_info.h"

#include <QSysInfo>

namespace grainlink {

QString VersionText() { return QStringLiteral("Version ") + QLatin1String(kProductVersion); }

QString BuiltForPlatform() { return QStringLiteral(GRAINLINK_BUILT_FOR); }

QString RunningOnPlatform()
{
    return QStringLiteral("%1, kernel %2, %3")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}

}  // namespace grainlink
