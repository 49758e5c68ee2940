#pragma once

#include <QByteArray>
#include <QString>

namespace grainlink {

// The number text of the outputs that are read by programs (JSON, CSV): the shortest general
// form of the single-precision value with up to 7 significant digits, a point as the decimal
// separator, no group separator and no blanks; the exponent form (1.234E+07) only for values of
// 10^7 and more or below 10^-4, where the plain form would need more digits. So 0.0120 gives
// 0.012, 513 gives 513, -2.5 gives -2.5, -0 gives 0.
QByteArray PointNumberText(float value);

// The data log's number text: PointNumberText with the user's decimal separator.
QString NumberText(float value);

// The number text in list-print form: a blank in place of the sign when the value is not
// negative, the number, and a blank after it (57 gives " 57 ", -1 gives "-1 ").
QString ListPrintText(float value);

}  // namespace grainlink
