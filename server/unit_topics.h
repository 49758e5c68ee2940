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
// availability ("availability"). Joined from its parts: the root is the user's text, and a "%1"
// in it must stay as it is.
inline QString UnitTopic(const QString& root, int unit, const QString& leaf)
{
    return root + QStringLiteral("/UNIT") + QString::number(unit) + u'/' + leaf;
}

}  // namespace grainlink
