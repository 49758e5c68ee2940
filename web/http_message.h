#pragma once

#include <QByteArray>
#include <QList>

#include <utility>

namespace grainlink {

// A request as the API sees it: what the socket side read, without the socket.
struct HttpRequest {
    QByteArray method;         // "GET", "HEAD", ...; empty for a method the parser did not know
    QByteArray target;         // as written on the request line: "/api/v1/units?x=1"
    QByteArray authorization;  // the Authorization header, empty when there is none
};

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// A whole answer. A live answer is the start of a stream: the socket stays open and the live
// feed writes to it from then on.
struct HttpReply {
    int status = 200;
    HttpHeaders headers;
    QByteArray body;
    bool live = false;
};

// The reply with its status code and a JSON body {"error": message}.
HttpReply JsonError(int status, const QString& message);

// The reply as bytes on the wire (HTTP/1.1): status line, headers, Content-Length (none for a
// live reply, which is ended by closing the connection) and, unless `withBody` is false (a
// HEAD request), the body.
QByteArray SerializeReply(const HttpReply& reply, bool withBody);

}  // namespace grainlink
