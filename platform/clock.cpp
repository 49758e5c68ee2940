#include "platform/clock.h"

#include <QLocale>
#include <QRegularExpression>

namespace grainlink {

QString GeneralDateText(const QDateTime& when)
{
    const QLocale locale;
    // The long time format carries seconds; drop its time-zone field, which adds nothing locally.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

}  // namespace grainlink
