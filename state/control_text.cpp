#include "state/control_text.h"

namespace grainlink {

bool IsControlCharacter(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

QString EscapeControls(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r')
            escaped += QLatin1String("\\r");
        else if (c == u'\n')
            escaped += QLatin1String("\\n");
        else if (IsControlCharacter(c.unicode()))
            escaped += QString::asprintf("\\x%02X", c.unicode());
        else
            escaped += c;
    }
    return escaped;
}

}  // namespace grainlink
