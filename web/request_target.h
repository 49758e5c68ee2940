#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace grainlink {

// What a request target names: the page and its files, or an API resource.
enum class Resource {
    Page,         // "/"
    PageScript,   // "/app.js"
    PageStyle,    // "/style.css"
    ChartScript,  // "/dygraph.min.js", the chart library
    ChartStyle,   // "/dygraph.min.css"
    Units,        // "/api/v1/units"
    Unit,         // "/api/v1/units/<n>"
    History,      // "/api/v1/units/<n>/history"
    Events,       // "/api/v1/events"
    Live,         // "/api/v1/live", the stream of live updates
    NotFound,     // well-formed, but nothing the server has
    BadTarget,    // not a target this server reads: see `fault`
};

// A request target read into its resource and query parameters.
struct RequestTarget {
    Resource resource = Resource::NotFound;
    int unit = 0;         // Unit and History: the number written, not yet checked against the units
    QString fault;        // BadTarget: why
    QList<std::pair<QString, QString>> query;  // decoded, in the order written

    // The value of the last parameter called `name`, if any.
    std::optional<QString> parameter(QStringView name) const;
};

inline constexpr qsizetype kMaxTargetBytes = 2048;
inline constexpr qsizetype kMaxQueryParameters = 16;

// Reads the target of a request line ("/api/v1/units/1/history?format=csv"), bytes as they
// came. Plain code with no state, so that a fuzz target can call it with any bytes.
//
// The server serves a fixed set of resources and never maps a target to a file name, so no
// target can reach a file elsewhere; a target that tries anyway is refused rather than
// interpreted: a dot segment ("/../", "/%2e%2e/"), a malformed or NUL percent escape, a target
// not starting with "/", one longer than kMaxTargetBytes or with more than kMaxQueryParameters
// parameters is BadTarget. Everything else that is not one of the resources is NotFound. In
// the query, "+" stands for itself (no parameter is free text), so an ISO 8601 offset can be
// written as it is.
RequestTarget ParseRequestTarget(QByteArrayView target);

}  // namespace grainlink
