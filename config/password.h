#pragma once

#include <QByteArray>

#include <optional>

namespace grainlink {

// The password is kept in GRAINLINK.INI lightly scrambled, each byte moved into the upper half
// of the 8-bit range, so that it does not show as plain text in the file. It is no protection
// against anyone who reads this code.

// The stored form of a plain password: each code plus 128. Nothing when a character has a
// code of 128 or more, which the stored form has no room for; the caller must refuse it rather
// than store a password that would not read back.
std::optional<QByteArray> EncodePassword(const QByteArray& plain);

struct DecodedPassword {
    QByteArray plain;
    int undecodable = 0;  // stored characters below 128, left out of `plain`
};

// The plain password of a stored form: each code minus 128.
DecodedPassword DecodePassword(const QByteArray& stored);

}  // namespace grainlink
