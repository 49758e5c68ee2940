#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "platform/dde_source.h"
#include "platform/retained_messages.h"
#include "platform/transient_messages.h"

struct mosquitto;

namespace grainlink {

// The version of the MQTT client library in use, such as "2.0.11".
QString MosquittoLibraryVersion();

// Where the items are published: the broker, how to log on to it, and the first level of every
// topic name.
struct MqttSettings {
    QString host = QStringLiteral("localhost");
    quint16 port = 1883;
    QString topicRoot = QStringLiteral("GRAINLINK");
    QString clientId{};     // empty: one made unique from the machine's name and the process id
    QString username{};     // empty: no login
    QByteArray password{};  // sent only with a user name
    QString caFile{};       // set: TLS, the broker's certificate checked against these CAs
    QString certFile{};     // the client's own certificate and key, for brokers that ask for one
    QString keyFile{};
    int keepAliveSeconds = 10;  // 5 or more; also bounds a connection attempt without an answer
    // A connection that has lasted this long starts the retry delays from the shortest again.
    std::chrono::milliseconds stableAfter = std::chrono::seconds(30);
};

// "<root>/status": the server's availability, "online" or "offline".
inline QString MqttStatusTopic(const QString& topicRoot)
{
    return topicRoot + QStringLiteral("/status");
}

// "<root>/<topic>/<item>": the MQTT topic of a DDE item, such as GRAINLINK/UNIT1/Counts4um; with
// an empty item, the prefix every item of the topic shares.
inline QString MqttItemTopic(const QString& topicRoot, const QString& topic, const QString& item)
{
    return topicRoot + u'/' + topic + u'/' + item;
}

// The DDE source on an MQTT broker, which also carries the server's other retained messages
// (setRetained(), same rules as the items) and its events (publish(): QoS 1, not retained).
// Item <item> of topic <topic> is the MQTT topic "<root>/<topic>/<item>" (for example
// GRAINLINK/UNIT1/Counts4um), its payload the item's text in UTF-8, published retained with
// QoS 1: a client that subscribes late reads every current value (the DDE request), a live
// subscription receives every change (the advise link). The server's availability is the
// retained "<root>/status": "online" on every connection, "offline" as the last will and on
// shutdown(). It subscribes to nothing, so no client can change the server.
//
// Guarantees:
// - Never blocks the caller: the client runs in the Qt event loop (socket notifiers and timers,
//   no threads); the host name is resolved asynchronously and the connection is made without
//   waiting. A missing or restarting broker, a refused login or a certificate that fails is
//   retried with growing delays (up to 5 s); the delays start from the shortest again only
//   after a connection has lasted `stableAfter`, so that a broker that accepts and then drops
//   every connection is not hammered. An attempt the broker's machine has taken but the broker
//   does not answer (a broker stopped or swapping) is waited for rather than repeated, so that
//   the broker, once it runs again, serves one attempt and not a queue of them.
// - No value is lost: the source keeps the current text of every item and publishes all of them
//   on every connection, so a change made while the broker is down goes out on reconnection.
//   Each connection starts from a fresh client, so stale messages of a lost connection are never
//   re-sent after the current values.
// - The connection state is reported once per change: an outage once, with the reason in the
//   broker's or the library's own words, never once per attempt.
// - Events published while the broker cannot be reached wait, the last kMaxWaitingMessages of
//   them, and go out after the current values on the next connection; how many were dropped is
//   warned about then. So do events sent on a connection that was lost before the broker
//   acknowledged them (a link found dead only at the keepalive time): they are sent again,
//   which QoS 1 allows.
// - Destroying the source without shutdown() drops the connection like a crash would, so the
//   broker publishes the last will "offline".
class MqttDdeSource final : public QObject,
                            public DdeSource,
                            public RetainedMessages,
                            public TransientMessages {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxWaitingMessages = 1000;

    explicit MqttDdeSource(MqttSettings settings, QObject* parent = nullptr);
    ~MqttDdeSource() override;

    // Published at once when connected, kept for the next connection otherwise; an unchanged
    // text is not published again. An empty text is an empty retained message, which clears
    // the item on the broker.
    void setItem(const QString& topic, const QString& item, const QString& text) override;
    // The same rules for any other topic; an invalid topic name is refused with a warning.
    void setRetained(const QString& topic, const QByteArray& payload) override;
    // QoS 1, not retained; an invalid topic name is refused with a warning.
    void publish(const QString& topic, const QByteArray& payload) override;

    // Publishes "offline", waits at most `wait` for the broker to take it, then disconnects
    // cleanly. The source does not connect again.
    void shutdown(std::chrono::milliseconds wait = std::chrono::milliseconds(1000));

    bool isConnected() const { return m_link == Link::Connected; }
    const MqttSettings& settings() const { return m_settings; }
    // The last connection change reported, such as "connected to 127.0.0.1:1883"; empty before
    // the first.
    const QString& connectionDetail() const { return m_reportedDetail; }
    const QByteArray& clientId() const { return m_clientId; }
    const QString& topicRoot() const { return m_settings.topicRoot; }

signals:
    // A change of the connection state, or a new reason why the connection cannot be made.
    void connectionChanged(bool connected, const QString& detail);

private:
    enum class Link { Idle, Resolving, Connecting, Connected };
    struct ClientDeleter {
        void operator()(mosquitto* client) const;
    };

    void attempt();
    void connectTo(const QString& address);
    int configure(mosquitto* client);
    void settle(int rc);
    int announce();
    int sendWaiting();
    void lose(const QString& reason);
    void dropClient();
    void dropNotifiers();
    void updateNotifiers();
    void onSocketReady();
    void onHousekeeping();
    void onAttemptUnanswered();
    int send(const QByteArray& topic, const QByteArray& payload);
    void keepWaiting(QByteArray topic, QByteArray payload);
    void onStable();
    void report(bool connected, const QString& detail);
    void reportChange(bool connected, const QString& detail);
    QString endpoint() const;

    static void onConnack(mosquitto* client, void* self, int code);
    static void onPuback(mosquitto* client, void* self, int mid);
    static void onLog(mosquitto* client, void* self, int level, const char* text);

    MqttSettings m_settings;
    QByteArray m_clientId;
    QByteArray m_statusTopic;
    std::map<QByteArray, QByteArray> m_values;  // MQTT topic -> payload
    std::deque<std::pair<QByteArray, QByteArray>> m_waiting;  // messages for the next connection
    std::map<int, std::pair<QByteArray, QByteArray>> m_unacked;  // sent events, by message id
    qint64 m_droppedWaiting = 0;

    std::unique_ptr<mosquitto, ClientDeleter> m_client;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    Link m_link = Link::Idle;
    QStringList m_addresses;  // of the host, tried in turn before resolving it again
    qsizetype m_nextAddress = 0;
    // Named children ("retry", "stable"), so that tests can read the delay before the next
    // attempt and make a connection last without waiting for real seconds.
    QTimer m_retry;
    QTimer m_housekeeping;
    QTimer m_stable;
    QDeadlineTimer m_attemptDeadline;  // for the broker's answer to the current attempt
    std::chrono::milliseconds m_retryDelay;
    std::optional<int> m_connackCode;  // set by the callback, handled after the call returns
    int m_lastAckedMid = 0;
    // The client library's last error message since the last connection: kept over attempts,
    // since the same failure may come back without it (a TLS alert read or written).
    QString m_libraryError;
    std::optional<bool> m_reported;
    QString m_reportedDetail;
    bool m_shutDown = false;
};

}  // namespace grainlink
