#include "platform/mqtt_dde_source.h"

#include <mosquitto.h>

#include "platform/mqtt_failure.h"
#include "platform/mqtt_socket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QSysInfo>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace grainlink {
namespace {

using namespace std::chrono_literals;

constexpr int kQos = 1;
constexpr std::chrono::milliseconds kFirstRetry = 250ms;
constexpr std::chrono::milliseconds kLastRetry = 5s;
constexpr std::chrono::milliseconds kHousekeepingInterval = 1s;
// Lets a whole reconnection burst (every item of the four topics and the status) go out
// without waiting for acknowledgements.
constexpr int kSendMaximum = 512;
constexpr QByteArrayView kOnline = "online";
constexpr QByteArrayView kOffline = "offline";

void InitLibrary()
{
    static const int rc = mosquitto_lib_init();
    Q_UNUSED(rc);
}

// Unique per server and per source, so that two sources never take over each other's session
// (two clients with one id would throw each other off the broker in turn, forever).
QByteArray MakeClientId(const QString& configured)
{
    static int count = 0;
    ++count;
    if (!configured.isEmpty()) return configured.toUtf8();
    return QStringLiteral("grainlink-%1-%2-%3")
        .arg(QSysInfo::machineHostName(), QString::number(QCoreApplication::applicationPid()),
             QString::number(count))
        .toUtf8();
}

QByteArray FileName(const QString& path)
{
    return QFile::encodeName(path);
}

const char* OrNull(const QByteArray& text)
{
    return text.isEmpty() ? nullptr : text.constData();
}

int Publish(mosquitto* client, const QByteArray& topic, QByteArrayView payload, int* mid = nullptr,
            bool retain = true)
{
    return mosquitto_publish(client, mid, topic.constData(), static_cast<int>(payload.size()),
                             payload.data(), kQos, retain);
}

// The topic name in UTF-8, or nothing, with a warning, when it is not a valid name to publish to.
std::optional<QByteArray> TopicName(const QString& topic)
{
    QByteArray name = topic.toUtf8();
    if (mosquitto_pub_topic_check2(name.constData(), name.size()) == MOSQ_ERR_SUCCESS) return name;
    qWarning("MQTT: \"%s\" is not a valid topic name and is not published", name.constData());
    return std::nullopt;
}

}  // namespace

QString MosquittoLibraryVersion()
{
    int major = 0;
    int minor = 0;
    int revision = 0;
    mosquitto_lib_version(&major, &minor, &revision);
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

void MqttDdeSource::ClientDeleter::operator()(mosquitto* client) const
{
    mosquitto_destroy(client);
}

MqttDdeSource::MqttDdeSource(MqttSettings settings, QObject* parent)
    : QObject(parent),
      m_settings(std::move(settings)),
      m_clientId(MakeClientId(m_settings.clientId)),
      m_statusTopic(MqttStatusTopic(m_settings.topicRoot).toUtf8()),
      m_retryDelay(kFirstRetry)
{
    InitLibrary();
    for (auto [timer, name] : {std::pair(&m_retry, "retry"), std::pair(&m_stable, "stable")}) {
        timer->setParent(this);
        timer->setObjectName(QLatin1String(name));
    }
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &MqttDdeSource::attempt);
    m_housekeeping.setInterval(kHousekeepingInterval);
    connect(&m_housekeeping, &QTimer::timeout, this, &MqttDdeSource::onHousekeeping);
    m_housekeeping.start();
    m_stable.setSingleShot(true);
    connect(&m_stable, &QTimer::timeout, this, &MqttDdeSource::onStable);
    attempt();
}

// Without a clean disconnect the broker publishes the last will.
MqttDdeSource::~MqttDdeSource() = default;

void MqttDdeSource::setItem(const QString& topic, const QString& item, const QString& text)
{
    setRetained(MqttItemTopic(m_settings.topicRoot, topic, item), text.toUtf8());
}

void MqttDdeSource::setRetained(const QString& topic, const QByteArray& payload)
{
    const std::optional<QByteArray> name = TopicName(topic);
    if (!name) return;
    const auto [entry, added] = m_values.try_emplace(*name, payload);
    if (!added) {
        if (entry->second == payload) return;
        entry->second = payload;
    }
    if (m_link == Link::Connected) settle(Publish(m_client.get(), *name, payload));
}

void MqttDdeSource::publish(const QString& topic, const QByteArray& payload)
{
    std::optional<QByteArray> name = TopicName(topic);
    if (!name || m_shutDown) return;
    if (m_link == Link::Connected)
        settle(send(*name, payload));
    else
        keepWaiting(std::move(*name), payload);
}

// An event, kept until the broker acknowledges it.
int MqttDdeSource::send(const QByteArray& topic, const QByteArray& payload)
{
    int mid = 0;
    const int rc = Publish(m_client.get(), topic, payload, &mid, false);
    if (rc == MOSQ_ERR_SUCCESS) m_unacked.insert_or_assign(mid, std::pair(topic, payload));
    return rc;
}

void MqttDdeSource::keepWaiting(QByteArray topic, QByteArray payload)
{
    if (static_cast<qsizetype>(m_waiting.size()) == kMaxWaitingMessages) {
        m_waiting.pop_front();
        ++m_droppedWaiting;
    }
    m_waiting.emplace_back(std::move(topic), std::move(payload));
}

void MqttDdeSource::shutdown(std::chrono::milliseconds wait)
{
    if (m_shutDown) return;
    m_shutDown = true;
    m_retry.stop();
    m_housekeeping.stop();
    m_stable.stop();
    if (m_link == Link::Connected) {
        mosquitto* client = m_client.get();
        int mid = 0;
        int rc = Publish(client, m_statusTopic, kOffline, &mid);
        const QDeadlineTimer deadline(wait);
        while (rc == MOSQ_ERR_SUCCESS && m_lastAckedMid != mid && !deadline.hasExpired())
            rc = ServiceClientSocket(client, deadline.remainingTime());
        // Only queued by the library: sent here, as the event loop may not run again.
        if (mosquitto_disconnect(client) == MOSQ_ERR_SUCCESS) mosquitto_loop_write(client, 1);
    }
    dropClient();
    reportChange(false, QStringLiteral("disconnected from %1").arg(endpoint()));
}

// Connects to the next address of the host, resolving the host name first when all of its
// addresses have been tried.
void MqttDdeSource::attempt()
{
    if (m_shutDown || m_link != Link::Idle) return;
    if (m_nextAddress < m_addresses.size()) {
        connectTo(m_addresses[m_nextAddress++]);
        return;
    }
    m_link = Link::Resolving;
    QHostInfo::lookupHost(m_settings.host, this, [this](const QHostInfo& info) {
        if (m_link != Link::Resolving) return;
        m_link = Link::Idle;
        m_addresses.clear();
        m_nextAddress = 0;
        for (const QHostAddress& address : info.addresses()) m_addresses << address.toString();
        if (m_addresses.isEmpty()) {
            lose(QStringLiteral("cannot resolve the host: %1").arg(info.errorString()));
            return;
        }
        // With TLS the library must have the name, to check the broker's certificate against it
        // and send it as the server name; it resolves the name again, which the lookup that
        // just succeeded makes quick, and a name that does not resolve never gets this far.
        if (!m_settings.caFile.isEmpty()) m_addresses = QStringList{m_settings.host};
        attempt();
    });
}

// Each attempt starts from a fresh client: a lost connection's unacknowledged messages are
// older than the values published on the next connection and must not follow them.
void MqttDdeSource::connectTo(const QString& address)
{
    m_client.reset(mosquitto_new(m_clientId.constData(), true, this));
    mosquitto* client = m_client.get();
    if (!client) {
        lose(QStringLiteral("cannot create the MQTT client"));
        return;
    }
    m_link = Link::Connecting;
    m_attemptDeadline.setRemainingTime(std::chrono::seconds(m_settings.keepAliveSeconds));
    int rc = configure(client);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_connect_async(client, address.toUtf8().constData(), m_settings.port,
                                     m_settings.keepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(client) != -1)
        EndWhenPeerIsGone(mosquitto_socket(client), m_settings.keepAliveSeconds);
    settle(rc);
}

int MqttDdeSource::configure(mosquitto* client)
{
    // Only queues what is to be sent, never writes it from inside a call: it goes out from the
    // event loop, after what the broker said has been read.
    mosquitto_threaded_set(client, true);
    mosquitto_int_option(client, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_int_option(client, MOSQ_OPT_SEND_MAXIMUM, kSendMaximum);
    mosquitto_connect_callback_set(client, &MqttDdeSource::onConnack);
    mosquitto_publish_callback_set(client, &MqttDdeSource::onPuback);
    mosquitto_log_callback_set(client, &MqttDdeSource::onLog);
    int rc = mosquitto_will_set(client, m_statusTopic.constData(),
                                static_cast<int>(kOffline.size()), kOffline.data(), kQos, true);
    if (rc == MOSQ_ERR_SUCCESS && !m_settings.username.isEmpty())
        rc = mosquitto_username_pw_set(client, m_settings.username.toUtf8().constData(),
                                       OrNull(m_settings.password));
    if (rc == MOSQ_ERR_SUCCESS && !m_settings.caFile.isEmpty()) {
        rc = mosquitto_tls_set(client, FileName(m_settings.caFile).constData(), nullptr,
                               OrNull(FileName(m_settings.certFile)),
                               OrNull(FileName(m_settings.keyFile)), nullptr);
        // The library only says "invalid arguments" for a file it cannot open.
        if (rc == MOSQ_ERR_INVAL) {
            QStringList files{m_settings.caFile, m_settings.certFile, m_settings.keyFile};
            files.removeAll(QString());
            m_libraryError = QStringLiteral("cannot read the TLS files %1").arg(files.join(", "));
        }
    }
    return rc;
}

// Runs after every call into the client: completes a connection the broker accepted, drops a
// failed one, and watches the socket for what the client needs next. Callbacks only record
// what happened, so that the client is never changed while it is inside a call.
void MqttDdeSource::settle(int rc)
{
    int error = errno;
    const std::optional<int> connack = std::exchange(m_connackCode, std::nullopt);
    if (rc == MOSQ_ERR_SUCCESS && connack == 0) {
        rc = announce();
        error = errno;
    }
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(m_client.get()) != -1) {
        updateNotifiers();
        if (connack == 0) report(true, QStringLiteral("connected to %1").arg(endpoint()));
        return;
    }
    if (connack.value_or(0) != 0)
        lose(QStringLiteral("the broker refused the connection: %1")
                 .arg(QString::fromUtf8(mosquitto_connack_string(*connack))));
    else if (rc == MOSQ_ERR_INVAL && !m_libraryError.isEmpty())
        lose(m_libraryError);
    else
        lose(DescribeMqttFailure(rc, error, m_libraryError, m_settings.keepAliveSeconds));
}

// Publishes every current value, then "online" (a client that sees "online" sees current values),
// then the messages that waited for the connection.
int MqttDdeSource::announce()
{
    m_link = Link::Connected;
    m_libraryError.clear();
    m_stable.start(m_settings.stableAfter);
    m_addresses.clear();
    m_nextAddress = 0;
    for (const auto& [topic, payload] : m_values)
        if (const int rc = Publish(m_client.get(), topic, payload); rc != MOSQ_ERR_SUCCESS)
            return rc;
    const int rc = Publish(m_client.get(), m_statusTopic, kOnline);
    return rc == MOSQ_ERR_SUCCESS ? sendWaiting() : rc;
}

// The messages published while there was no connection, oldest first.
int MqttDdeSource::sendWaiting()
{
    if (const qint64 dropped = std::exchange(m_droppedWaiting, 0))
        qWarning("MQTT: %lld earlier messages were dropped while the broker could not be reached",
                 static_cast<long long>(dropped));
    while (!m_waiting.empty()) {
        const auto& [topic, payload] = m_waiting.front();
        if (const int rc = send(topic, payload); rc != MOSQ_ERR_SUCCESS) return rc;
        m_waiting.pop_front();
    }
    return MOSQ_ERR_SUCCESS;
}

void MqttDdeSource::lose(const QString& reason)
{
    const bool wasConnected = m_link == Link::Connected;
    // Sent on this connection but never acknowledged: they wait again, ahead of later ones.
    std::deque<std::pair<QByteArray, QByteArray>> later = std::move(m_waiting);
    m_waiting.clear();
    for (auto& [mid, message] : std::exchange(m_unacked, {}))
        keepWaiting(std::move(message.first), std::move(message.second));
    for (auto& [topic, payload] : later) keepWaiting(std::move(topic), std::move(payload));
    dropClient();
    if (m_nextAddress < m_addresses.size()) {
        m_retry.start(0);
    } else {
        m_retry.start(m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, kLastRetry);
    }
    report(false, (wasConnected ? QStringLiteral("connection to %1 lost: %2")
                                : QStringLiteral("cannot connect to %1: %2"))
                      .arg(endpoint(), reason));
}

void MqttDdeSource::dropClient()
{
    m_stable.stop();
    dropNotifiers();
    m_client.reset();
    m_connackCode.reset();
    m_link = Link::Idle;
}

// Deferred, since this may run inside one of the notifiers' own signals.
void MqttDdeSource::dropNotifiers()
{
    for (QSocketNotifier** notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (!*notifier) continue;
        (*notifier)->setEnabled(false);
        (*notifier)->deleteLater();
        *notifier = nullptr;
    }
}

void MqttDdeSource::updateNotifiers()
{
    const int socket = mosquitto_socket(m_client.get());
    if (!m_readNotifier || m_readNotifier->socket() != socket) {
        dropNotifiers();
        m_readNotifier = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        connect(m_readNotifier, &QSocketNotifier::activated, this, &MqttDdeSource::onSocketReady);
        m_writeNotifier = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, &MqttDdeSource::onSocketReady);
    }
    m_writeNotifier->setEnabled(mosquitto_want_write(m_client.get()));
}

void MqttDdeSource::onSocketReady()
{
    settle(ServiceClientSocket(m_client.get(), 0));
}

// Keep-alive pings and the end of a connection that stays silent; an attempt that is not
// answered within the keepalive time.
void MqttDdeSource::onHousekeeping()
{
    if (m_link == Link::Connected)
        settle(mosquitto_loop_misc(m_client.get()));
    else if (m_link == Link::Connecting && m_attemptDeadline.hasExpired())
        onAttemptUnanswered();
}

// An attempt whose connection the broker's machine has taken is kept, however long the broker
// takes to answer (stopped, swapping): a new attempt would only queue behind it, and once the
// broker runs again it would serve every attempt given up in turn, each taking the session
// over and leaving the last will "offline". The system ends the connection if the machine is
// gone. An attempt that got no connection at all is given up.
void MqttDdeSource::onAttemptUnanswered()
{
    const QString silent =
        DescribeMqttFailure(MOSQ_ERR_KEEPALIVE, 0, {}, m_settings.keepAliveSeconds);
    if (IsConnected(mosquitto_socket(m_client.get()))) {
        report(false, QStringLiteral("cannot connect to %1: %2").arg(endpoint(), silent));
        m_attemptDeadline = QDeadlineTimer(QDeadlineTimer::Forever);  // said once; kept waiting
    } else {
        lose(silent);
    }
}

void MqttDdeSource::onStable()
{
    m_retryDelay = kFirstRetry;
}

// Once per change: an outage is reported once, with its first reason, however many attempts
// fail and however they fail.
void MqttDdeSource::report(bool connected, const QString& detail)
{
    if (m_reported == connected) return;
    reportChange(connected, detail);
}

void MqttDdeSource::reportChange(bool connected, const QString& detail)
{
    m_reported = connected;
    m_reportedDetail = detail;
    // Disconnecting on the way out is no trouble: the journal files it as information.
    if (connected || m_shutDown)
        qInfo("MQTT: %s", qUtf8Printable(detail));
    else
        qWarning("MQTT: %s", qUtf8Printable(detail));
    emit connectionChanged(connected, detail);
}

QString MqttDdeSource::endpoint() const
{
    return QStringLiteral("%1:%2").arg(m_settings.host, QString::number(m_settings.port));
}

void MqttDdeSource::onConnack(mosquitto*, void* self, int code)
{
    static_cast<MqttDdeSource*>(self)->m_connackCode = code;
}

void MqttDdeSource::onPuback(mosquitto*, void* self, int mid)
{
    auto* source = static_cast<MqttDdeSource*>(self);
    source->m_lastAckedMid = mid;
    source->m_unacked.erase(mid);
}

// Keeps the library's own reason for a failure it reports only by code (OpenSSL's words for a
// certificate that fails, for one).
void MqttDdeSource::onLog(mosquitto*, void* self, int level, const char* text)
{
    if (level == MOSQ_LOG_ERR) static_cast<MqttDdeSource*>(self)->m_libraryError = text;
}

}  // namespace grainlink
