#pragma once

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace grainlink::test {

// An MQTT client that records every message on one topic filter, as a program reading the
// server's items would. It runs on libmosquitto's own network thread, so that it receives while
// the test's thread runs the server's event loop; it reconnects and subscribes again on its own
// after a broker restart.
class MqttSubscriber {
public:
    struct Message {
        QByteArray topic;
        QByteArray payload;
        bool retained = false;
        std::chrono::steady_clock::time_point received;
    };
    // Called on the network thread for every message, after it is recorded.
    using Listener = std::function<void(const Message&)>;

    MqttSubscriber(quint16 port, QByteArray filter, Listener listener = {});
    ~MqttSubscriber();
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    // The broker has acknowledged the subscription of the current connection.
    bool subscribed() const { return m_subscribed; }
    std::vector<Message> messages() const;
    std::vector<QByteArray> payloads(const QByteArray& topic) const;
    std::optional<Message> latest(const QByteArray& topic) const;
    void clear();

private:
    static void onConnect(mosquitto* client, void* self, int code);
    static void onDisconnect(mosquitto* client, void* self, int code);
    static void onSubscribe(mosquitto* client, void* self, int mid, int count, const int* granted);
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);

    QByteArray m_filter;
    Listener m_listener;
    mosquitto* m_client = nullptr;
    std::atomic<bool> m_subscribed = false;
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
};

}  // namespace grainlink::test
