#include "web/web_api.h"

#include "web/api_documents.h"

#include <QFile>
#include <QJsonDocument>

namespace grainlink {
namespace {

constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// Headers on every answer: what a browser may do with it.
void AddCommonHeaders(HttpReply& reply)
{
    reply.headers.emplace_back("X-Content-Type-Options", "nosniff");
    reply.headers.emplace_back("Referrer-Policy", "no-referrer");
    reply.headers.emplace_back("X-Frame-Options", "DENY");
}

HttpReply Document(const QByteArray& body, const QByteArray& type)
{
    HttpReply reply;
    reply.headers = {{"Content-Type", type}, {"Cache-Control", "no-store"}};
    reply.body = body;
    return reply;
}

HttpReply NoUnit(int unit)
{
    return JsonError(404, QStringLiteral("no unit %1").arg(unit));
}

}  // namespace

WebApi::WebApi(const PlantModel& plant, const ItemTables& items, const HistoryStore& history,
               const SharedState& state, const LiveFeed& feed, WebUsers* users,
               QString chartFolder)
    : m_plant(plant), m_items(items), m_history(history), m_state(state), m_feed(feed),
      m_users(users), m_chartFolder(std::move(chartFolder))
{
}

HttpReply WebApi::respond(const HttpRequest& request)
{
    HttpReply reply;
    if (m_users && !m_users->allows(request.authorization)) {
        reply = JsonError(401, QStringLiteral("authentication required"));
        reply.headers.emplace_back("WWW-Authenticate", R"(Basic realm="GrainLink", charset="UTF-8")");
    } else if (request.method != "GET" && request.method != "HEAD") {
        reply = JsonError(405, QStringLiteral("read-only: only GET and HEAD are answered"));
        reply.headers.emplace_back("Allow", "GET, HEAD");
    } else {
        reply = resource(ParseRequestTarget(request.target));
    }
    AddCommonHeaders(reply);
    return reply;
}

HttpReply WebApi::resource(const RequestTarget& target)
{
    switch (target.resource) {
    case Resource::Page: {
        HttpReply page = file(QStringLiteral(":/web/index.html"), "text/html; charset=utf-8",
                              "no-cache");
        // Everything from this server; styles may be set by the chart library's script.
        page.headers.emplace_back("Content-Security-Policy",
                                  "default-src 'self'; style-src 'self' 'unsafe-inline'; "
                                  "img-src 'self' data:; frame-ancestors 'none'");
        return page;
    }
    case Resource::PageScript:
        return file(QStringLiteral(":/web/app.js"), "text/javascript; charset=utf-8", "no-cache");
    case Resource::PageStyle:
        return file(QStringLiteral(":/web/style.css"), "text/css; charset=utf-8", "no-cache");
    case Resource::ChartScript:
        return file(chartScript(), "text/javascript; charset=utf-8", "max-age=86400");
    case Resource::ChartStyle:
        return file(m_chartFolder + QStringLiteral("/dygraph.min.css"), "text/css; charset=utf-8",
                    "max-age=86400");
    case Resource::Units:
        return units();
    case Resource::Unit:
        return unit(target.unit);
    case Resource::History:
        return history(target);
    case Resource::Events:
        return events(target);
    case Resource::Live:
        return live();
    case Resource::BadTarget:
        return JsonError(400, target.fault);
    case Resource::NotFound:
        break;
    }
    return JsonError(404, QStringLiteral("nothing here: the API is under /api/v1/"));
}

bool WebApi::shown(int unit) const
{
    return m_plant.units().contains(unit);
}

HttpReply WebApi::units() const
{
    return Document(UnitsDocument(m_plant, m_items, m_state.ProductName), "application/json");
}

HttpReply WebApi::unit(int unit) const
{
    if (!shown(unit)) return NoUnit(unit);
    return Document(QJsonDocument(UnitObject(m_plant.unit(unit), m_items[unit]))
                        .toJson(QJsonDocument::Compact),
                    "application/json");
}

HttpReply WebApi::history(const RequestTarget& target) const
{
    if (!shown(target.unit)) return NoUnit(target.unit);
    const QString format = target.parameter(u"format").value_or(QStringLiteral("json"));
    if (format != u"json" && format != u"csv")
        return JsonError(400, QStringLiteral("format must be json or csv"));
    const QList<HistoryRec> rows = HistoryRows(m_history, target.unit, m_state.BufferSize);
    if (format == u"json")
        return Document(HistoryDocument(target.unit, m_state.UnitName[target.unit],
                                        HistoryCapacity(m_state.BufferSize), rows),
                        "application/json");
    HttpReply csv = Document(HistoryCsv(rows), "text/csv; charset=utf-8; header=present");
    csv.headers.emplace_back("Content-Disposition", "attachment; filename=\"unit" +
                                                        QByteArray::number(target.unit) +
                                                        "-history.csv\"");
    return csv;
}

HttpReply WebApi::events(const RequestTarget& target) const
{
    std::optional<QDateTime> since;
    if (const auto text = target.parameter(u"since")) {
        since = QDateTime::fromString(*text, Qt::ISODateWithMs);
        if (!since->isValid())
            return JsonError(400, QStringLiteral("since must be an ISO 8601 time, for example "
                                                 "2026-12-06T14:03:05+01:00"));
    }
    std::optional<int> unit;
    if (const auto text = target.parameter(u"unit")) {
        bool ok = false;
        unit = text->toInt(&ok);
        if (!ok || *unit < 0 || *unit > kMaxUnits)
            return JsonError(400, QStringLiteral("unit must be 0 (the server) to %1")
                                      .arg(kMaxUnits));
    }
    int limit = kDefaultEvents;
    if (const auto text = target.parameter(u"limit")) {
        bool ok = false;
        limit = text->toInt(&ok);
        if (!ok || limit < 1 || limit > kMaxEvents)
            return JsonError(400, QStringLiteral("limit must be 1 to %1").arg(kMaxEvents));
    }
    return Document(EventsDocument(m_plant.events().events(unit, since, limit)),
                    "application/json");
}

HttpReply WebApi::live() const
{
    if (!m_feed.hasRoom())
        return JsonError(503, QStringLiteral("too many live connections; try again later"));
    HttpReply reply;
    reply.live = true;
    reply.headers = {{"Content-Type", "text/event-stream"},
                     {"Cache-Control", "no-store"},
                     {"X-Accel-Buffering", "no"}};  // nginx: pass each message on at once
    reply.body = "retry: 3000\n\n";
    return reply;
}

HttpReply WebApi::file(const QString& path, const QByteArray& type, const QByteArray& caching)
{
    auto cached = m_files.constFind(path);
    if (cached == m_files.cend()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
            return JsonError(404, QStringLiteral("%1 is not installed").arg(path));
        cached = m_files.insert(path, file.readAll());
    }
    HttpReply reply;
    reply.headers = {{"Content-Type", type}, {"Cache-Control", caching}};
    reply.body = *cached;
    return reply;
}

}  // namespace grainlink
