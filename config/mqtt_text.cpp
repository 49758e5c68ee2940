#include "config/mqtt_text.h"

#include "state/control_text.h"

#include <QList>
#include <QUtf8StringView>

namespace grainlink {
namespace {

// Code points set aside as never being characters.
bool IsNoncharacter(char32_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

QString CodePointName(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString Escaped(uint code)
{
    return QString::asprintf("\\x%02X", code);
}

}  // namespace

std::optional<QString> MqttStringFault(const QByteArray& bytes, int maxBytes)
{
    if (bytes.size() > maxBytes) return QStringLiteral("longer than %1 bytes").arg(maxBytes);
    if (!QUtf8StringView(bytes).isValidUtf8()) return QStringLiteral("not UTF-8 text");
    for (const char32_t c : QString::fromUtf8(bytes).toUcs4()) {
        if (IsControlCharacter(c))
            return QStringLiteral("holds the control character %1").arg(CodePointName(c));
        if (IsNoncharacter(c))
            return QStringLiteral("holds %1, which is not a character").arg(CodePointName(c));
    }
    return std::nullopt;
}

std::optional<QString> TopicRootFault(const QByteArray& bytes, int maxBytes)
{
    if (bytes.isEmpty()) return QStringLiteral("empty");
    if (const auto fault = MqttStringFault(bytes, maxBytes)) return fault;
    for (const char wildcard : {'+', '#'})
        if (bytes.contains(wildcard))
            return QStringLiteral("holds the wildcard %1").arg(QLatin1Char(wildcard));
    if (bytes.startsWith('$'))
        return QStringLiteral("starts with $, which marks the broker's own topics");
    return std::nullopt;
}

QString PrintableSetting(const QByteArray& bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8()) return EscapeControls(QString::fromUtf8(bytes));
    QString text;
    for (const char byte : bytes) {
        const auto code = static_cast<uchar>(byte);
        text += (code >= 0x80 || IsControlCharacter(code)) ? Escaped(code) : QString(QLatin1Char(byte));
    }
    return text;
}

}  // namespace grainlink
