#include "state/numeric_text.h"

#include <QLocale>

namespace grainlink {

std::optional<double> NumericValue(const QString& text)
{
    const QString t = text.trimmed();
    const QChar localPoint = QLocale().decimalPoint().front();
    qsizetype i = 0;
    const auto at = [&](qsizetype k) { return k < t.size() ? t[k] : QChar(); };

    QString canonical;
    if (at(i) == u'+' || at(i) == u'-') canonical += t[i++];
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            canonical += c;
            ++digits;
        } else if (!point && (c == u'.' || c == localPoint)) {
            canonical += u'.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (at(i) == u'e' || at(i) == u'E') {
        canonical += u'e';
        ++i;
        if (at(i) == u'+' || at(i) == u'-') canonical += t[i++];
        int expDigits = 0;
        for (; i < t.size() && t[i].unicode() < 128 && t[i].isDigit(); ++i, ++expDigits)
            canonical += t[i];
        if (expDigits == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    bool ok = false;
    const double value = canonical.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace grainlink
