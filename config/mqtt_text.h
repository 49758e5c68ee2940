#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace grainlink {

// What MQTT allows in the settings it carries (topic roots, client id, user name), checked when
// GRAINLINK.INI is read: a bad value is then refused with its key and reason at start-up, where
// libmosquitto would otherwise take the connection and refuse every publish later with an error
// that names neither.

// Why `bytes` is no MQTT string of at most maxBytes bytes: not UTF-8, or holding a control
// character (C0, DEL, C1) or a noncharacter, all of which libmosquitto refuses. Nothing when it
// is one; the empty string is one.
std::optional<QString> MqttStringFault(const QByteArray& bytes, int maxBytes);

// The same for the first levels of a topic name: also not empty, without the wildcards "+" and
// "#", and not starting with "$", which marks the broker's own topics (a subscription to "#"
// does not see them, and brokers refuse clients publishing there).
std::optional<QString> TopicRootFault(const QByteArray& bytes, int maxBytes);

// `bytes` fit for a log line: CR and LF as \r and \n, other control characters and bytes that are
// not UTF-8 as \xNN, so that a refused value is shown as it is without driving the terminal that
// reads the log.
QString PrintableSetting(const QByteArray& bytes);

}  // namespace grainlink
