#include "platform/error_notice.h"

#include "platform/stderr_log.h"

namespace grainlink {

void StderrErrorNotice::showPortError(const QString& detail)
{
    LogToStderr(
        LogPriority::Error,
        QStringLiteral("Error Message: %1 (%2)").arg(QString::fromLatin1(kPortErrorText), detail));
}

}  // namespace grainlink
