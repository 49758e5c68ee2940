// GRAINLINK.INI bytes -> the profile file -> every setting the server derives from it at start-up,
// with the MQTT texts held against libmosquitto: whatever the settings accept, the library must
// accept too (the topics of the items, the status, the record snapshots, the availability and the
// discovery configs, the client id, the user name). Then one key is written as the dialogs write
// it: it must read back as written, and every other key must read as before.

#include "config/flow_factor.h"
#include "config/mqtt_settings.h"
#include "config/serial_devices.h"
#include "fuzz/fuzz_support.h"
#include "platform/ini_profile_file.h"
#include "server/mqtt_unit_publisher.h"
#include "server/startup.h"
#include "server/unit_topics.h"
#include "tests/support/test_doubles.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

#include <mosquitto.h>

#include <memory>

namespace grainlink::fuzz {
namespace {

struct Key {
    const char* section;
    const char* key;
};

// Every key the server reads.
const std::vector<Key>& AllKeys()
{
    static const std::vector<Key> keys = [] {
        std::vector<Key> all{
            {"Options", "Units"},
            {"Options", "RawLog"},
            {"Options", "Log"},
            {"Options", "File"},
            {"Options", "Buffer_size"},
            {"Options", "SecEna"},
            {"Options", "SecStr"},
            {"Options", "Graph tip"},
            {"Settings", "Message time"},
            {"Product_Info", "Product_Name"},
            {"Product_Info", "Hardware_Name"},
            {"MQTT", "Host"},
            {"MQTT", "Port"},
            {"MQTT", "TopicRoot"},
            {"MQTT", "ClientId"},
            {"MQTT", "KeepAlive"},
            {"MQTT", "Username"},
            {"MQTT", "PasswordFile"},
            {"MQTT", "CaFile"},
            {"MQTT", "CertFile"},
            {"MQTT", "KeyFile"},
            {"MQTT", "Discovery"},
            {"MQTT", "DiscoveryPrefix"},
        };
        static const char* units[] = {"Unit1", "Unit2", "Unit3", "Unit4"};
        static const char* factors[] = {"FlowFactor1", "FlowFactor2", "FlowFactor3", "FlowFactor4"};
        for (int i = 0; i < 4; ++i) {
            for (const char* key : {"Enable", "Port", "Name"}) all.push_back({units[i], key});
            all.push_back({"Options", factors[i]});
        }
        static const QByteArrayList ports = [] {
            QByteArrayList names;
            for (int port = kFirstPortNumber; port <= kLastPortNumber; ++port)
                names << "Port" + QByteArray::number(port);
            return names;
        }();
        for (const QByteArray& port : ports) all.push_back({"Serial", port.constData()});
        return all;
    }();
    return keys;
}

// The keys the dialogs write, one of which each input writes.
constexpr Key kWritten[] = {{"Unit1", "Name"},          {"Unit3", "Port"},
                            {"Options", "File"},        {"Options", "SecStr"},
                            {"Options", "FlowFactor2"}, {"Options", "Units"}};

constexpr int kWholeValue = 1 << 20;

bool operator==(const Key& a, const Key& b)
{
    return qstrcmp(a.section, b.section) == 0 && qstrcmp(a.key, b.key) == 0;
}

// Every key the server reads but `except`, as read.
QByteArray Dump(const ConfigFile& config, const Key& except)
{
    QByteArray all;
    for (const Key& key : AllKeys())
        if (!(key == except))
            all += QByteArray(key.section) + '/' + key.key + '=' +
                   config.ReadSetting(key.section, key.key, "<missing>", kWholeValue) + '\n';
    return all;
}

// A topic the server publishes on: libmosquitto must take it as a topic to publish to.
void CheckTopic(const QString& topic)
{
    const QByteArray name = topic.toUtf8();
    const int length = static_cast<int>(name.size());
    FUZZ_CHECK(mosquitto_validate_utf8(name.constData(), length) == MOSQ_ERR_SUCCESS, name);
    FUZZ_CHECK(mosquitto_pub_topic_check2(name.constData(), name.size()) == MOSQ_ERR_SUCCESS, name);
}

// What the unit publisher sends: every topic fit to publish to, every payload empty or JSON.
struct CheckedRetained final : RetainedMessages {
    void setRetained(const QString& topic, const QByteArray& payload) override
    {
        CheckTopic(topic);
        if (payload.isEmpty() || payload == "online" || payload == "offline") return;
        QJsonParseError error;
        QJsonDocument::fromJson(payload, &error);
        FUZZ_CHECK(error.error == QJsonParseError::NoError, payload);
    }
};

// The MQTT texts as the connection uses them: the client made with the id, the last will on the
// status topic, the login.
void CheckWithLibrary(const MqttSettings& mqtt)
{
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

void CheckDerivedSettings(const ConfigFile& config)
{
    SharedState state;
    CommsPanel panel;
    test::RecordingMessageBox messageBox;
    LoadConfiguration(state, config, panel, messageBox);
    FUZZ_CHECK(state.BufferSize >= 10 && state.BufferSize <= HistoryStore::kMaxRows,
               QByteArray::number(state.BufferSize));
    ItemTables items;
    LoadFlowFactors(config, items);
    for (int port = kFirstPortNumber - 1; port <= kLastPortNumber + 1; ++port)
        PortDevicePath(config, static_cast<int16_t>(port));

    const MqttSettings mqtt = ReadMqttSettings(config);
    CheckWithLibrary(mqtt);
    // Discovery on whatever the file says, so that its topics are always checked.
    const MqttDiscoverySettings discovery{true, ReadMqttDiscovery(config).prefix};
    test::FakeClock clock;
    CheckedRetained out;
    MqttUnitPublisher publisher(items, state, clock, out, mqtt.topicRoot, discovery);
    publisher.onServedUnits({1, 2, 3, 4});
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        publisher.onRecord(unit, RecordState::Live);
        for (Item item : AllItems()) CheckTopic(UnitTopic(mqtt.topicRoot, unit, ItemName(item)));
    }
}

// Writes one key from the input's last line and reads everything back.
void CheckWrite(IniProfileFile& profile, QByteArrayView input)
{
    ConfigFile config(profile);
    const Key& key = kWritten[static_cast<std::size_t>(input.size()) % std::size(kWritten)];
    const QByteArray value = input.sliced(input.lastIndexOf('\n') + 1).toByteArray();
    const QByteArray before = Dump(config, key);
    if (!config.WriteSetting(key.section, key.key, value)) return;
    QByteArray expected = value;
    expected.replace('\r', ' ').replace('\n', ' ');
    const QByteArray read = config.ReadSetting(key.section, key.key, "<missing>", kWholeValue);
    FUZZ_CHECK(read == expected, key.key + QByteArray(": ") + read + " instead of " + expected);

    const QByteArray after = Dump(config, key);
    FUZZ_CHECK(after == before, before + "\n---- after the write:\n" + after);
}

}  // namespace
}  // namespace grainlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace grainlink;
    // libmosquitto is set up once, before the first client.
    [[maybe_unused]] static const int mosquittoReady = mosquitto_lib_init();
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const QString path = fuzz::ScratchFile(QStringLiteral("GRAINLINK.INI"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(input.data(), input.size()) != input.size())
        fuzz::Fail("cannot write GRAINLINK.INI", file.errorString().toUtf8());
    // Old enough to be read once and kept, as a file nobody is editing.
    file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    file.close();

    IniProfileFile profile(path);
    fuzz::CheckDerivedSettings(ConfigFile(profile));
    fuzz::CheckWrite(profile, input);
    return 0;
}
