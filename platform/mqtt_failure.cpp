#include "platform/mqtt_failure.h"

#include <mosquitto.h>

#include <QRegularExpression>
#include <cerrno>
#include <cstring>

namespace grainlink {

QString DescribeMqttFailure(int rc, int error, const QString& libraryError, int keepAliveSeconds)
{
    static const QRegularExpression opensslPrefix(QStringLiteral("^OpenSSL Error\\[\\d+\\]: "));
    const QString why = QString(libraryError).remove(opensslPrefix);
    // The library reports a TLS session that broke off during a read or a write as EPROTO; a
    // broker that turns the client down (a certificate it wants and did not get) also just ends
    // the connection. In both cases the library logged OpenSSL's reason, if there was one.
    const bool tlsBroken = rc == MOSQ_ERR_ERRNO && error == EPROTO;
    if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE || tlsBroken ||
        (rc == MOSQ_ERR_CONN_LOST && !why.isEmpty()))
        return why.isEmpty() ? QStringLiteral("TLS failed (no reason given)")
                             : QStringLiteral("TLS failed: %1").arg(why);
    switch (rc) {
    case MOSQ_ERR_SUCCESS:
        return QStringLiteral("connection closed");
    case MOSQ_ERR_ERRNO:
        return QString::fromLocal8Bit(std::strerror(error));
    case MOSQ_ERR_KEEPALIVE:
        return QStringLiteral("the broker did not answer within the keepalive time (%1 s)")
            .arg(keepAliveSeconds);
    case MOSQ_ERR_CONN_LOST:
        return QStringLiteral("the broker closed the connection");
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_MALFORMED_PACKET:
    case MOSQ_ERR_MALFORMED_UTF8:
    case MOSQ_ERR_DUPLICATE_PROPERTY:
        return QStringLiteral("the broker sent data that is not valid MQTT");
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_LOOKUP:
        return QStringLiteral("cannot resolve the host");
    case MOSQ_ERR_OVERSIZE_PACKET:
        return QStringLiteral("a message is larger than the broker accepts");
    case MOSQ_ERR_NOMEM:
        return QStringLiteral("out of memory");
    default:
        break;
    }
    const QString text = QString::fromUtf8(mosquitto_strerror(rc));
    return text == QLatin1String("Unknown error.")
               ? QStringLiteral("MQTT library error %1").arg(rc)
               : text.chopped(text.endsWith(u'.') ? 1 : 0);
}

}  // namespace grainlink
