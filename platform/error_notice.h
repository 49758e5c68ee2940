#pragma once

#include <QString>

namespace grainlink {

// The notice the acquisition tick raises when a serial port cannot be used. Showing it again
// while it is up must not stack a second notice. The detail says what failed, for a service
// log; the operator's notice shows the fixed text only.
class ErrorNotice {
public:
    virtual ~ErrorNotice() = default;
    virtual void showPortError(const QString& detail) = 0;
};

inline constexpr const char* kPortErrorText = "Bad Port Number - Please Select a Valid Com Port";

// Headless form: one line on standard error per notice, with the detail, as an error.
class StderrErrorNotice final : public ErrorNotice {
public:
    void showPortError(const QString& detail) override;
};

}  // namespace grainlink
