#pragma once

#include "config/config_file.h"

#include <QString>

#include <optional>
#include <variant>

namespace grainlink {

// The address the web server listens on: an IP address (or "localhost") and a port.
struct ListenAddress {
    QString host;  // as written, without the brackets of an IPv6 address
    quint16 port = 0;
};

// Reads "127.0.0.1:8080", "[::1]:8080", "localhost:8080" or "0.0.0.0:8080" (every address:
// only when written so); the reason when the text is none of them.
std::variant<ListenAddress, QString> ParseListenAddress(const QString& text);

// The web page and HTTP API, from section [HTTP] of GRAINLINK.INI: Listen (empty, the
// default: off), CertFile and KeyFile (both: TLS), Users (a users file: HTTP Basic
// authentication). The server is off unless Listen names an address; a value that cannot be
// used is refused with a warning naming the key and the reason, and the server stays off
// rather than serving something other than what was asked (plain HTTP for TLS, no log-on for
// a users file). An address other than loopback without Users is served, with a warning that
// anyone who reaches it may read the page.
struct HttpSettings {
    std::optional<ListenAddress> listen;  // none: off
    QString certFile;
    QString keyFile;
    QString usersFile;
};
HttpSettings ReadHttpSettings(const ConfigFile& config);

}  // namespace grainlink
