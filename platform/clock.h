#pragma once

#include <QDateTime>
#include <QString>

namespace grainlink {

// Source of the current local date and time, so that tests can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The user's short date format.
QString ShortDateText(const QDate& date);
// The user's time format, with seconds.
QString TimeText(const QTime& time);
// The user's general date format: short date, a blank, the time with seconds.
QString GeneralDateText(const QDateTime& when);

}  // namespace grainlink
