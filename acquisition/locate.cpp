#include "acquisition/locate.h"

namespace grainlink {

QByteArray Locate(const QByteArray& search, const QByteArray& message, int size)
{
    const qsizetype n = search.size();
    // Start positions 0 .. L - n - 2, i.e. the 1-based positions i with i < L - n.
    const qsizetype lastStart = message.size() - n - 2;
    for (qsizetype i = 0; i <= lastStart; ++i) {
        if (message.sliced(i, n) == search) return message.mid(i + n, size < 0 ? 0 : size);
    }
    return QByteArrayLiteral("0");
}

}  // namespace grainlink
