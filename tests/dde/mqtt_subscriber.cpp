#include "tests/dde/mqtt_subscriber.h"

#include <mosquitto.h>

#include <stdexcept>

namespace grainlink::test {

MqttSubscriber::MqttSubscriber(quint16 port, QByteArray filter, Listener listener)
    : m_filter(std::move(filter)), m_listener(std::move(listener))
{
    mosquitto_lib_init();
    m_client = mosquitto_new(nullptr, true, this);
    if (!m_client) throw std::runtime_error("cannot create an MQTT client");
    mosquitto_int_option(m_client, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_callback_set(m_client, &MqttSubscriber::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MqttSubscriber::onDisconnect);
    mosquitto_subscribe_callback_set(m_client, &MqttSubscriber::onSubscribe);
    mosquitto_message_callback_set(m_client, &MqttSubscriber::onMessage);
    mosquitto_reconnect_delay_set(m_client, 1, 1, false);
    mosquitto_connect_async(m_client, "127.0.0.1", port, 10);
    mosquitto_loop_start(m_client);
}

MqttSubscriber::~MqttSubscriber()
{
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
    mosquitto_destroy(m_client);
}

std::vector<MqttSubscriber::Message> MqttSubscriber::messages() const
{
    const std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<QByteArray> MqttSubscriber::payloads(const QByteArray& topic) const
{
    std::vector<QByteArray> found;
    const std::lock_guard lock(m_mutex);
    for (const Message& message : m_messages)
        if (message.topic == topic) found.push_back(message.payload);
    return found;
}

std::optional<MqttSubscriber::Message> MqttSubscriber::latest(const QByteArray& topic) const
{
    const std::lock_guard lock(m_mutex);
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it)
        if (it->topic == topic) return *it;
    return std::nullopt;
}

void MqttSubscriber::clear()
{
    const std::lock_guard lock(m_mutex);
    m_messages.clear();
}

void MqttSubscriber::onConnect(mosquitto* client, void* self, int code)
{
    if (code == 0)
        mosquitto_subscribe(client, nullptr,
                            static_cast<MqttSubscriber*>(self)->m_filter.constData(), 1);
}

void MqttSubscriber::onDisconnect(mosquitto*, void* self, int)
{
    static_cast<MqttSubscriber*>(self)->m_subscribed = false;
}

void MqttSubscriber::onSubscribe(mosquitto*, void* self, int, int, const int*)
{
    static_cast<MqttSubscriber*>(self)->m_subscribed = true;
}

void MqttSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    const auto now = std::chrono::steady_clock::now();
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    Message received{QByteArray(message->topic),
                     QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                     message->retain, now};
    {
        const std::lock_guard lock(subscriber->m_mutex);
        subscriber->m_messages.push_back(received);
    }
    if (subscriber->m_listener) subscriber->m_listener(received);
}

}  // namespace grainlink::test
