#include "platform/mqtt_failure.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace grainlink::test {
namespace {

// The library answers "Unknown error." for several codes it returns itself; none may reach the
// operator like that.
TEST(MqttFailureTest, EveryCodeOfTheLibraryIsNamed)
{
    for (int rc = -4; rc <= 31; ++rc) {
        const QString text = DescribeMqttFailure(rc, ECONNREFUSED, {}, 10);
        EXPECT_FALSE(text.isEmpty() || text.contains("Unknown", Qt::CaseInsensitive))
            << rc << ": " << text.toStdString();
    }
}

}  // namespace
}  // namespace grainlink::test
