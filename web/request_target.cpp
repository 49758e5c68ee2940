#include "web/request_target.h"

#include <QByteArray>
#include <QStringList>

namespace grainlink {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text of a percent-encoded piece; none when an escape is malformed or stands for NUL.
std::optional<QString> Decoded(QByteArrayView encoded)
{
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '\0') return std::nullopt;
        if (c != '%') {
            bytes.append(c);
            continue;
        }
        if (i + 2 >= encoded.size()) return std::nullopt;
        const int high = HexDigit(encoded[i + 1]);
        const int low = HexDigit(encoded[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return QString::fromUtf8(bytes);
}

RequestTarget Bad(const char* fault)
{
    RequestTarget target;
    target.resource = Resource::BadTarget;
    target.fault = QString::fromLatin1(fault);
    return target;
}

// "1" to "999", without leading zeros; 0 for anything else.
int UnitNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 3 || text.front() == u'0') return 0;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return 0;
    return text.toInt();
}

void Route(RequestTarget& target, const QStringList& segments)
{
    static const std::pair<const char*, Resource> kFiles[] = {
        {"", Resource::Page},
        {"app.js", Resource::PageScript},
        {"style.css", Resource::PageStyle},
        {"dygraph.min.js", Resource::ChartScript},
        {"dygraph.min.css", Resource::ChartStyle},
    };
    target.resource = Resource::NotFound;
    if (segments.size() == 1) {
        for (const auto& [name, resource] : kFiles)
            if (segments[0] == QLatin1String(name)) target.resource = resource;
        return;
    }
    if (segments.size() < 3 || segments[0] != u"api" || segments[1] != u"v1") return;
    const QStringList rest = segments.mid(2);
    if (rest == QStringList{QStringLiteral("units")}) {
        target.resource = Resource::Units;
    } else if (rest == QStringList{QStringLiteral("events")}) {
        target.resource = Resource::Events;
    } else if (rest == QStringList{QStringLiteral("live")}) {
        target.resource = Resource::Live;
    } else if (rest.size() >= 2 && rest.size() <= 3 && rest[0] == u"units") {
        target.unit = UnitNumber(rest[1]);
        if (target.unit == 0) return;
        if (rest.size() == 2)
            target.resource = Resource::Unit;
        else if (rest[2] == u"history")
            target.resource = Resource::History;
    }
}

}  // namespace

std::optional<QString> RequestTarget::parameter(QStringView name) const
{
    for (auto it = query.crbegin(); it != query.crend(); ++it)
        if (it->first == name) return it->second;
    return std::nullopt;
}

RequestTarget ParseRequestTarget(QByteArrayView raw)
{
    if (raw.size() > kMaxTargetBytes) return Bad("the request target is too long");
    if (!raw.startsWith('/')) return Bad("the request target does not start with /");
    const qsizetype mark = raw.indexOf('?');
    const QByteArrayView path = mark < 0 ? raw : raw.first(mark);
    const QByteArrayView query = mark < 0 ? QByteArrayView() : raw.sliced(mark + 1);

    QStringList segments;
    for (const QByteArray& piece : path.sliced(1).toByteArray().split('/')) {
        const std::optional<QString> segment = Decoded(piece);
        if (!segment) return Bad("the path holds a malformed percent escape");
        if (*segment == u"." || *segment == u"..")
            return Bad("the path holds a dot segment");
        segments << *segment;
    }

    RequestTarget target;
    if (!query.isEmpty()) {
        const QList<QByteArray> pairs = query.toByteArray().split('&');
        if (pairs.size() > kMaxQueryParameters) return Bad("too many query parameters");
        for (const QByteArray& pair : pairs) {
            if (pair.isEmpty()) continue;
            const qsizetype equals = pair.indexOf('=');
            const auto name = Decoded(equals < 0 ? pair : pair.first(equals));
            const auto value = Decoded(equals < 0 ? QByteArray() : pair.sliced(equals + 1));
            if (!name || !value) return Bad("the query holds a malformed percent escape");
            target.query.append({*name, *value});
        }
    }
    Route(target, segments);
    return target;
}

}  // namespace grainlink
