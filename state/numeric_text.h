#pragma once

#include <QByteArray>
#include <QString>

#include <cmath>
#include <limits>
#include <optional>

namespace grainlink {

// "Numeric" as the configuration and the data windows use it: the whole text reads as a
// decimal number: optional sign, digits with at most one decimal point, optional exponent,
// blanks around it allowed. An empty text or a lone point is not numeric. The point may be
// "." or the user's decimal separator, so the stored default "0.00075" reads in any locale.
std::optional<double> NumericValue(const QString& text);

inline bool IsNumeric(const QString& text)
{
    return NumericValue(text).has_value();
}

// The whole number a numeric text stands for, rounded half to even (so "1.5" and "2.5" are both
// 2). Nothing when the text is not numeric or the number does not fit T.
template <typename T>
std::optional<T> IntegerValue(const QString& text)
{
    const std::optional<double> value = NumericValue(text);
    if (!value) return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(rounded);
}

// The same for a value read from the configuration file, whose numbers are plain ASCII.
template <typename T>
std::optional<T> IntegerValue(const QByteArray& text)
{
    return IntegerValue<T>(QString::fromLatin1(text));
}

}  // namespace grainlink
