#include "server/number_text.h"

#include <QLocale>

#include <charconv>

namespace grainlink {

QByteArray PointNumberText(float value)
{
    if (value == 0) value = 0;  // no "-0"
    char digits[32];
    // to_chars ignores the C locale: the point is the only separator that gets in.
    const auto written = std::to_chars(std::begin(digits), std::end(digits),
                                       static_cast<double>(value), std::chars_format::general, 7);
    QByteArray text(digits, written.ptr - digits);
    text.replace('e', 'E');
    return text;
}

QString NumberText(float value)
{
    QString text = QString::fromLatin1(PointNumberText(value));
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

QString ListPrintText(float value)
{
    const QString number = NumberText(value);
    return (number.startsWith(QLatin1Char('-')) ? QString() : QStringLiteral(" ")) + number +
           QLatin1Char(' ');
}

}  // namespace grainlink
