#pragma once

#include <QDateTime>
#include <QString>

namespace grainlink {

// One error with a unit's serial port, as the acquisition tick trapped it.
struct PortErrorReport {
    int unit = 0;
    QString device;  // what the unit's port number stands for; empty when nothing
    QString reason;  // what failed, such as "cannot open /dev/ttyUSB0: No such file or directory"
    QDateTime when;
};

// The notice the acquisition tick raises when a serial port cannot be used. Showing it again
// while it is up must not stack a second notice. The fixed text is all the original notice
// said; the report tells what happened, and portRecovered when the unit's port opened again
// after an error, so that a notice left on screen does not claim a trouble that is over.
class ErrorNotice {
public:
    virtual ~ErrorNotice() = default;
    virtual void showPortError(const PortErrorReport& report) = 0;
    virtual void portRecovered(int unit, const QDateTime& when) = 0;
};

inline constexpr const char* kPortErrorText = "Bad Port Number - Please Select a Valid Com Port";

// Headless form: one line on standard error per notice, as an error, with the unit, device and
// reason. A recovery is not repeated there: the unit's message line says "waiting for data".
class StderrErrorNotice final : public ErrorNotice {
public:
    void showPortError(const PortErrorReport& report) override;
    void portRecovered(int /*unit*/, const QDateTime& /*when*/) override {}
};

}  // namespace grainlink
