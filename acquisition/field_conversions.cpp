#include "acquisition/field_conversions.h"

#include "state/numeric_text.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace grainlink {
namespace {

// Nearest integer, halves to the even neighbour; nullopt when it does not fit 32 bits.
std::optional<int32_t> RoundToInt32(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(whole);
}

}  // namespace

bool ValidChars(const QByteArray& message)
{
    for (const char c : message) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex && c != ';' && c != '\r' && c != '\n') return false;
    }
    return true;
}

int16_t HexDigit(char c)
{
    if (c >= '0' && c <= '9') return static_cast<int16_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<int16_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<int16_t>(c - 'a' + 10);
    return 0;
}

int32_t HexValue(const QByteArray& digits)
{
    uint32_t value = 0;  // unsigned, so that an over-long text wraps instead of overflowing
    for (const char c : digits) value = value * 16 + static_cast<uint32_t>(HexDigit(c));
    return static_cast<int32_t>(value);
}

bool BitSet(int bit, int32_t value)
{
    for (int i = 0; i < bit; ++i) value /= 2;
    return value % 2 != 0;
}

int32_t SignMagnitude(int32_t byte)
{
    return byte >= 128 ? -(byte - 128) : byte;
}

QString FormatPattern(double value, QStringView pattern)
{
    const qsizetype point = pattern.indexOf(u'.');
    const qsizetype intDigits = point < 0 ? pattern.size() : point;
    const int fracDigits = point < 0 ? 0 : static_cast<int>(pattern.size() - point - 1);

    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(std::abs(value), 'f', fracDigits);
    const qsizetype shown = fracDigits > 0 ? text.indexOf(locale.decimalPoint()) : text.size();
    if (shown < intDigits) text.prepend(locale.zeroDigit().repeated(intDigits - shown));
    return value < 0 ? locale.negativeSign() + text : text;
}

QString CountsText(float iso, const QByteArray& raw)
{
    const int64_t value = HexValue(raw);
    if (iso < 11.0f) return FormatPattern(static_cast<double>(value) / 1000, u"0.0000");
    if (iso <= 23.6f) return QString::number(value);
    return QString::number(value * 1000);
}

std::optional<int32_t> FlowIndex(double sampleTime, double chan1Duty, double chan1Event,
                                 const QString& factorText)
{
    if (sampleTime == 0 || chan1Duty == 0) return 0;
    const std::optional<int32_t> perMinute = RoundToInt32(chan1Event / (sampleTime / 60));
    if (!perMinute) return std::nullopt;
    const std::optional<int32_t> index = RoundToInt32(*perMinute / chan1Duty);
    if (!index) return std::nullopt;

    const std::optional<double> factor = NumericValue(factorText);
    if (!factor || *factor <= 0) return index;
    // A factor beyond single precision cannot scale anything into 32 bits.
    if (*factor > std::numeric_limits<float>::max()) return std::nullopt;
    const float single = static_cast<float>(*factor);
    if (!(single > 0)) return index;  // too small for single precision: it reads as 0
    return RoundToInt32(static_cast<double>(single) * *index);
}

}  // namespace grainlink
