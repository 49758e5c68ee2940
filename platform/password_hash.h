#pragma once

#include <QByteArray>

namespace grainlink {

// Whether `password` matches `hash`, a crypt(3) hash ("$y$..." from mkpasswd, "$2y$..." from
// htpasswd -B, "$6$..." from openssl passwd -6), through the system's libcrypt. False for a
// hash the library cannot read. Takes as long as the hash's cost asks (tens of milliseconds
// for yescrypt): callers remember what they verified.
bool PasswordMatchesHash(const QByteArray& password, const QByteArray& hash);

}  // namespace grainlink
