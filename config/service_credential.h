#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace grainlink {

// The credential that holds the broker password of the service: systemd reads the root-only
// file named in the unit's LoadCredential= and hands it to the server, so the service never
// needs to read that file itself.
inline constexpr char kMqttPasswordCredential[] = "mqtt-password";

// A password is a line; a bigger file or credential is not a password.
inline constexpr qint64 kPasswordFileLimit = 4096;

// The line a password file holds: its first line, without CR LF or LF.
QByteArray PasswordLine(const QByteArray& contents);

// The first line of the credential `name` in `directory` (the service's $CREDENTIALS_DIRECTORY).
// None without a directory, without the credential, or when its first line is empty, which is
// what the unit hands on when the administrator has not created the password file.
std::optional<QByteArray> CredentialLine(const QString& directory, const char* name);

}  // namespace grainlink
