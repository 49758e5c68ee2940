#include "web/http_message.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace grainlink {
namespace {

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Content Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "";
    }
}

}  // namespace

HttpReply JsonError(int status, const QString& message)
{
    HttpReply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}};
    reply.body = QJsonDocument(QJsonObject{{QStringLiteral("error"), message}})
                     .toJson(QJsonDocument::Compact);
    return reply;
}

QByteArray SerializeReply(const HttpReply& reply, bool withBody)
{
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                       ReasonPhrase(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers) bytes += name + ": " + value + "\r\n";
    if (!reply.live) bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    bytes += "\r\n";
    if (withBody) bytes += reply.body;
    return bytes;
}

}  // namespace grainlink
