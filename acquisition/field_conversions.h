#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace grainlink {

// The conversions that turn the fields of an instrument record into the texts of a data window.
// Each is a pure function of its arguments and the default QLocale (for the decimal separator),
// and none of them throws for any input.

// Whether every character is one a record may hold: 0-9, A-F, a-f, ";", CR, LF.
bool ValidChars(const QByteArray& message);

// The value 0..15 of one hexadecimal digit; any other character counts as 0, so a field cut
// short by the line end reads its CR and LF as zeros.
int16_t HexDigit(char c);

// The characters read as an unsigned hexadecimal number, most significant first; "" is 0.
// Record fields have at most 7 digits (up to 268435455); longer texts keep the low 32 bits.
int32_t HexValue(const QByteArray& digits);

// Whether bit 0..7 of `value` is 1 (halving `value` `bit` times, truncating, then testing odd).
bool BitSet(int bit, int32_t value);

// The temperature byte in sign-and-magnitude form: 0x85 is -5, 0x05 is 5.
int32_t SignMagnitude(int32_t byte);

// `value` written by a digit pattern such as "00.000000" or "0.0": at least as many integer
// digits as the pattern has "0"s before its point (more are all shown), the fraction rounded to
// as many digits as follow the point, the locale's decimal separator and no group separators.
QString FormatPattern(double value, QStringView pattern);

// The text of a particle count field from its raw 4 hex digits and the ISO code of the same
// size as shown on the window (so already rounded to one decimal). The instrument scales the
// count by the code's range: thousandths below 11.0, units up to 23.6, thousands above. The
// comparisons are in single precision so that a code shown as 23.6 takes the middle range.
QString CountsText(float iso, const QByteArray& raw);

// The flow index from the sample time in seconds, the channel 1 duty and event count, and the
// window's flow factor text: events per minute, divided by the duty, scaled by the factor when
// the text is numeric and positive in single precision; each step rounded to the nearest
// integer, halves to the even neighbour. 0 when the sample time or the duty is 0; nullopt when a
// step does not fit 32 bits.
std::optional<int32_t> FlowIndex(double sampleTime, double chan1Duty, double chan1Event,
                                 const QString& factorText);

}  // namespace grainlink
