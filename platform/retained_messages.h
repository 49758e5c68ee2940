#pragma once

#include <QByteArray>
#include <QString>

namespace grainlink {

// Publishes messages beside the items that other programs read as the latest state of a topic
// (a record snapshot, an availability, a discovery config), on the same connection as the items.
class RetainedMessages {
public:
    virtual ~RetainedMessages() = default;

    // The full topic name's latest payload. The publisher keeps it, so that clients that connect
    // later, and a broker that restarts, still get it. An empty payload clears the topic.
    virtual void setRetained(const QString& topic, const QByteArray& payload) = 0;
};

}  // namespace grainlink
