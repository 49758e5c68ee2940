#include "platform/error_notice.h"

#include <cstdio>

namespace grainlink {

void StderrErrorNotice::showPortError(const PortErrorReport& report)
{
    const QString device = report.device.isEmpty() ? QStringLiteral("no device") : report.device;
    std::fprintf(stderr, "Error Message: %s (unit %d, %s: %s)\n", kPortErrorText, report.unit,
                 qUtf8Printable(device), qUtf8Printable(report.reason));
    std::fflush(stderr);
}

}  // namespace grainlink
