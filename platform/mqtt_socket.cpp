#include "platform/mqtt_socket.h"

#include <mosquitto.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

namespace grainlink {

int ServiceClientSocket(mosquitto* client, qint64 timeoutMs)
{
    pollfd watched{mosquitto_socket(client), POLLIN, 0};
    if (watched.fd == -1) return MOSQ_ERR_NO_CONN;
    if (mosquitto_want_write(client)) watched.events |= POLLOUT;
    if (::poll(&watched, 1, static_cast<int>(timeoutMs)) <= 0) return MOSQ_ERR_SUCCESS;
    int rc = MOSQ_ERR_SUCCESS;
    if (watched.revents & (POLLIN | POLLERR | POLLHUP)) rc = mosquitto_loop_read(client, 1);
    if (rc == MOSQ_ERR_SUCCESS && (watched.revents & POLLOUT)) rc = mosquitto_loop_write(client, 1);
    return rc;
}

bool IsConnected(int socket)
{
    sockaddr_storage peer = {};
    socklen_t size = sizeof peer;
    return ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &size) == 0;
}

void EndWhenPeerIsGone(int socket, int seconds)
{
    const int on = 1;
    const int probes = 2;
    const unsigned int unacknowledgedMs = 2000U * static_cast<unsigned int>(seconds);
    // Best effort: without them a connection to a vanished machine ends only as the system's
    // defaults have it.
    ::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &seconds, sizeof seconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &seconds, sizeof seconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    ::setsockopt(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMs, sizeof unacknowledgedMs);
}

}  // namespace grainlink
