#include "platform/clock.h"

#include <QLocale>
#include <QRegularExpression>

namespace grainlink {

QString ShortDateText(const QDate& date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString TimeText(const QTime& time)
{
    static const QRegularExpression timeZoneField(QStringLiteral("\\s*t+\\s*"));
    const QLocale locale;
    // The long time format carries seconds; drop its time-zone field, which adds nothing locally.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(timeZoneField);
    return locale.toString(time, timeFormat.trimmed());
}

QString GeneralDateText(const QDateTime& when)
{
    return ShortDateText(when.date()) + QLatin1Char(' ') + TimeText(when.time());
}

}  // namespace grainlink
