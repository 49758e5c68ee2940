#pragma once

#include <QtGlobal>

struct mosquitto;

namespace grainlink {

// The client library's socket as the MQTT source drives it between the library's calls.

// One step of the client's work on its socket, waiting at most `timeoutMs` for it to be ready:
// reads what the broker sent first, then writes what the client has queued. Reading first
// matters when the broker refuses the client (a certificate it wants): it says why and closes,
// and a write after that fails without the reason. Returns the library's result.
int ServiceClientSocket(mosquitto* client, qint64 timeoutMs);

// True when the socket's TCP connection is made: the broker's machine has taken it, whether or
// not the broker itself has answered yet.
bool IsConnected(int socket);

// Has the system end the connection when the other side stops acknowledging, within a few
// times `seconds`: data unacknowledged for twice that time, or no answer to keepalive probes.
// A connection waiting for a silent broker then still ends when the broker's machine is gone.
void EndWhenPeerIsGone(int socket, int seconds);

}  // namespace grainlink
