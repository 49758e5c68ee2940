#pragma once

#include "display/history_store.h"
#include "plant/plant_model.h"
#include "state/item_table.h"
#include "state/unit_state.h"
#include "web/http_message.h"
#include "web/live_feed.h"
#include "web/request_target.h"
#include "web/web_users.h"

#include <QHash>
#include <QString>

#include <optional>

namespace grainlink {

// Where the chart library is installed (Debian's libjs-dygraphs).
inline constexpr const char* kChartLibraryFolder = "/usr/share/javascript/dygraphs";

// The web page and the read-only HTTP API: a request in, a whole reply out. Everything the
// server answers is decided here, so that it is tested without a socket; the socket side only
// carries bytes.
//
// Only GET and HEAD are answered (any other method: 405, nothing can be changed over HTTP);
// with users, a request without a valid Basic authorization gets 401 before anything else.
// The page and its files come from the program's resources and the chart library from
// `chartFolder`, by a fixed table: no part of a target is ever used as a file name.
class WebApi {
public:
    static constexpr int kDefaultEvents = 100;
    static constexpr int kMaxEvents = 1000;

    // `users`: none for no authentication.
    WebApi(const PlantModel& plant, const ItemTables& items, const HistoryStore& history,
           const SharedState& state, const LiveFeed& feed, WebUsers* users = nullptr,
           QString chartFolder = QString::fromLatin1(kChartLibraryFolder));

    HttpReply respond(const HttpRequest& request);
    // The chart library's script as served.
    QString chartScript() const { return m_chartFolder + QStringLiteral("/dygraph.min.js"); }

private:
    HttpReply resource(const RequestTarget& target);
    HttpReply units() const;
    HttpReply unit(int unit) const;
    HttpReply history(const RequestTarget& target) const;
    HttpReply events(const RequestTarget& target) const;
    HttpReply live() const;
    HttpReply file(const QString& path, const QByteArray& type, const QByteArray& caching);
    bool shown(int unit) const;

    const PlantModel& m_plant;
    const ItemTables& m_items;
    const HistoryStore& m_history;
    const SharedState& m_state;
    const LiveFeed& m_feed;
    WebUsers* m_users;
    QString m_chartFolder;
    QHash<QString, QByteArray> m_files;  // read once: the files never change while serving
};

}  // namespace grainlink
