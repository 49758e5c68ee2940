#include "acquisition/locate.h"

namespace grainlink {

QByteArray Locate(const QByteArray& search, const QByteArray& message, int size)
{
    // Start positions 0 .. L - n - 2, i.e. the 1-based positions i with i < L - n. The first
    // occurrence anywhere is the earliest, so a later one can never be within reach either.
    const qsizetype lastStart = message.size() - search.size() - 2;
    const qsizetype at = message.indexOf(search);
    if (at < 0 || at > lastStart) return QByteArrayLiteral("0");
    return message.mid(at + search.size(), size < 0 ? 0 : size);
}

}  // namespace grainlink
