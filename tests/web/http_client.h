#pragma once

// A plain HTTP/1.1 client over a socket the test controls byte by byte, so that it can send
// what no ordinary client would.
#include <QAbstractSocket>
#include <QTest>

#include <optional>

namespace grainlink::test {

struct RawReply {
    int status = 0;
    QByteArray head;  // the status line and headers
    QByteArray body;

    QByteArray header(const QByteArray& name) const
    {
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ": "))
                return line.sliced(name.size() + 2).trimmed();
        return {};
    }
};

// Reads one whole reply (with a Content-Length) from the socket; none when none came in time.
// `withBody` false: the reply to a HEAD request, headers only.
inline std::optional<RawReply> ReadReply(QAbstractSocket& socket, bool withBody = true,
                                         int timeoutMs = 5000)
{
    QByteArray buffer;  // the test sends its next request only after reading this reply
    std::optional<RawReply> reply;
    const bool whole = QTest::qWaitFor(
        [&] {
            buffer += socket.readAll();
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0) return false;
            RawReply got;
            got.head = buffer.first(end);
            got.status = got.head.mid(9, 3).toInt();
            const qsizetype length = withBody ? got.header("Content-Length").toLongLong() : 0;
            if (buffer.size() < end + 4 + length) return false;
            got.body = buffer.sliced(end + 4, length);
            reply = got;
            return true;
        },
        timeoutMs);
    return whole ? reply : std::nullopt;
}

// Sends the request and reads its reply.
inline std::optional<RawReply> Exchange(QAbstractSocket& socket, const QByteArray& request,
                                        bool withBody = true)
{
    socket.write(request);
    return ReadReply(socket, withBody);
}

inline QByteArray Get(const QByteArray& target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: localhost\r\n\r\n";
}

}  // namespace grainlink::test
