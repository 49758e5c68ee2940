#pragma once

#include <QString>

namespace grainlink {

// Why a connection to the broker failed or ended, in words an operator can act on, from what a
// call into libmosquitto returned. The library's own texts say "Unknown error." for several of
// its codes (a keepalive timeout among them), so each code it can return is named here.
// `rc`: the library's result; `error`: errno right after the call; `libraryError`: the last
// error the library logged since the last connection (OpenSSL's reason for a failed handshake);
// `keepAliveSeconds`: the keepalive in force.
QString DescribeMqttFailure(int rc, int error, const QString& libraryError, int keepAliveSeconds);

}  // namespace grainlink
