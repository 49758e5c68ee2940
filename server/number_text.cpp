#include "server/number_text.h"

#include <QLocale>

#include <charconv>

namespace grainlink {

QString NumberText(float value)
{
    if (value == 0) value = 0;  // no "-0"
    char digits[32];
    // to_chars ignores the C locale, so the separator below is the only one that gets in.
    const auto written = std::to_chars(std::begin(digits), std::end(digits),
                                       static_cast<double>(value), std::chars_format::general, 7);
    QString text = QString::fromLatin1(digits, written.ptr - digits);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
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
