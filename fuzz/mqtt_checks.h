#pragma once

// What the MQTT fuzz checks share: whatever the settings accept, libmosquitto must accept too, for
// every topic the server publishes on, the client id, the last will and the user name.

#include "config/mqtt_settings.h"
#include "fuzz/fuzz_support.h"
#include "server/ha_discovery.h"
#include "server/unit_topics.h"
#include "state/item_table.h"
#include "state/unit_state.h"

#include <mosquitto.h>

#include <memory>

namespace grainlink::fuzz {

// A topic the server publishes on: libmosquitto must take it as a topic to publish to.
inline void CheckTopic(const QString& topic)
{
    const QByteArray name = topic.toUtf8();
    const int length = static_cast<int>(name.size());
    FUZZ_CHECK(mosquitto_validate_utf8(name.constData(), length) == MOSQ_ERR_SUCCESS, name);
    FUZZ_CHECK(mosquitto_pub_topic_check2(name.constData(), name.size()) == MOSQ_ERR_SUCCESS, name);
}

// The MQTT texts as the connection uses them: the client made with the id, the last will on the
// status topic, the login.
inline void CheckWithLibrary(const MqttSettings& mqtt)
{
    // libmosquitto is set up once, before the first client.
    [[maybe_unused]] static const int mosquittoReady = mosquitto_lib_init();
    CheckTopic(MqttStatusTopic(mqtt.topicRoot));
    const QByteArray id =
        mqtt.clientId.isEmpty() ? QByteArray("grainlink") : mqtt.clientId.toUtf8();
    const std::unique_ptr<mosquitto, void (*)(mosquitto*)> client(
        mosquitto_new(id.constData(), true, nullptr), mosquitto_destroy);
    FUZZ_CHECK(client != nullptr, "client id " + id);
    const QByteArray status = MqttStatusTopic(mqtt.topicRoot).toUtf8();
    FUZZ_CHECK(mosquitto_will_set(client.get(), status.constData(), 7, "offline", 1, true) ==
                   MOSQ_ERR_SUCCESS,
               status);
    if (!mqtt.username.isEmpty()) {
        const QByteArray user = mqtt.username.toUtf8();
        FUZZ_CHECK(
            mosquitto_username_pw_set(client.get(), user.constData(), nullptr) == MOSQ_ERR_SUCCESS,
            user);
    }
}

// Every unit's topics: its items, record snapshot and availability, the events and the
// discovery configs under `prefix`.
inline void CheckEveryTopic(const QString& root, const QString& prefix)
{
    CheckTopic(root + QStringLiteral("/events"));
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        for (Item item : AllItems()) CheckTopic(UnitTopic(root, unit, ItemName(item)));
        CheckTopic(UnitTopic(root, unit, QStringLiteral("record")));
        CheckTopic(UnitTopic(root, unit, QStringLiteral("availability")));
        for (const QString& topic : DiscoveryTopics(prefix, root, unit)) CheckTopic(topic);
    }
}

}  // namespace grainlink::fuzz
