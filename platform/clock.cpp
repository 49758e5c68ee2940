#include "platform/clock.h"

#include <QLocale>
#include <QRegularExpression>

namespace grainlink {

QString GeneralDateText(const QDateTime& when)
{
    static const QRegularExpression timeZoneField(QStringLiteral("\\s*t+\\s*"));
    const QLocale locale;
    // The long time format carries seconds; drop its time-zone field, which adds nothing locally.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(timeZoneField);
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

}  // namespace grainlink
