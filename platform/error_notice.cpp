#include "platform/error_notice.h"

#include "platform/stderr_log.h"

namespace grainlink {

void StderrErrorNotice::showPortError(const PortErrorReport& report)
{
    const QString device = report.device.isEmpty() ? QStringLiteral("no device") : report.device;
    LogToStderr(LogPriority::Error, QStringLiteral("Error Message: %1 (unit %2, %3: %4)")
                                        .arg(QString::fromLatin1(kPortErrorText))
                                        .arg(report.unit)
                                        .arg(device, report.reason));
}

}  // namespace grainlink
