#pragma once

#include <QByteArray>
#include <QString>

namespace grainlink {

// Publishes news rather than state (an event of the server's event log): each message goes to
// the clients subscribed at the time, in order, and none is kept for clients that subscribe
// later. Messages published while the publisher cannot reach its clients wait, up to a bound,
// for the next chance.
class TransientMessages {
public:
    virtual ~TransientMessages() = default;

    // Publishes `payload` once on the full topic name.
    virtual void publish(const QString& topic, const QByteArray& payload) = 0;
};

}  // namespace grainlink
