#pragma once

#include <QByteArray>

namespace grainlink {

// The `size` characters that follow the first occurrence of the tag `search` in `message`
// (fewer when the message ends sooner), or "0" when the tag does not occur. The comparison is
// exact, and the last two possible start positions are not examined: every tag in a record is
// followed by its field and a line end, so they can never hold one.
QByteArray Locate(const QByteArray& search, const QByteArray& message, int size);

}  // namespace grainlink
