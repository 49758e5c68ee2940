#pragma once

namespace grainlink {

// The notice the acquisition tick raises when a serial port cannot be used. Showing it again
// while it is up must not stack a second notice.
class ErrorNotice {
public:
    virtual ~ErrorNotice() = default;
    virtual void showPortError() = 0;
};

inline constexpr const char* kPortErrorText = "Bad Port Number - Please Select a Valid Com Port";

// Headless form: one line on standard error per notice.
class StderrErrorNotice final : public ErrorNotice {
public:
    void showPortError() override;
};

}  // namespace grainlink
