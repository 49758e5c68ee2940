#pragma once

#include <QByteArray>
#include <QString>

namespace grainlink {

// A retained message to publish: a full topic name and its payload (empty clears the topic).
struct RetainedMessage {
    QString topic;
    QByteArray payload;
};

// "<root>/UNIT<n>/<leaf>": beside the unit's items, its record snapshot ("record") and its
// availability ("availability").
inline QString UnitTopic(const QString& root, int unit, const QString& leaf)
{
    return QStringLiteral("%1/UNIT%2/%3").arg(root).arg(unit).arg(leaf);
}

}  // namespace grainlink
