#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "server/unit_topics.h"

namespace grainlink {

// What a unit's Home Assistant discovery configs are made of.
struct DiscoveryUnit {
    QString topicRoot;  // the server's, which tells servers on one broker apart
    int unit = 1;
    QString name;   // the unit's display name
    QString model;  // the instrument name
};

// The retained config messages that make one unit's counts, ISO codes, temperature, flow index
// and status appear in Home Assistant as sensors of one device, without configuration: topics
// "<prefix>/sensor/grainlink_<root>/unit<n>_<item>/config". Each sensor reads its value from the
// unit's record snapshot (locale-independent numbers) and is available while both the server's
// status and the unit's availability are "online". Unique ids hold the topic root, so the
// sensors of several servers on one broker never collide. Clearing a unit's sensors is
// publishing the same topics with empty payloads.
std::vector<RetainedMessage> DiscoveryConfigs(const QString& prefix, const DiscoveryUnit& unit);

// The topics of the unit's config messages, in the same order, without making the configs: what
// clearing its sensors publishes empty.
QStringList DiscoveryTopics(const QString& prefix, const QString& topicRoot, int unit);

}  // namespace grainlink
