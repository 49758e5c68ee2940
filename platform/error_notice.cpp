#include "platform/error_notice.h"

#include <cstdio>

namespace grainlink {

void StderrErrorNotice::showPortError(const QString& detail)
{
    std::fprintf(stderr, "Error Message: %s (%s)\n", kPortErrorText, qUtf8Printable(detail));
    std::fflush(stderr);
}

}  // namespace grainlink
