#include "platform/error_notice.h"

#include <cstdio>

namespace grainlink {

void StderrErrorNotice::showPortError()
{
    std::fprintf(stderr, "Error Message: %s\n", kPortErrorText);
    std::fflush(stderr);
}

}  // namespace grainlink
