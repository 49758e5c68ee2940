#pragma once

#include <QString>

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

}  // namespace grainlink
