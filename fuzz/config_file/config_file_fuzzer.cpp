// GRAINLINK.INI bytes -> the profile file -> every setting the server derives from it at start-up,
// with the MQTT texts held against libmosquitto: whatever the settings accept, the library must
// accept too (the topics of the items, the status, the record snapshots, the availability and the
// discovery configs, the client id, the user name). An address the web server would listen on
// must read back as written. Then one key is written as the dialogs write it: it must read back
// as written, and every other key must read as before.

#include "config/flow_factor.h"
#include "config/http_settings.h"
#include "config/overview_setting.h"
#include "config/serial_devices.h"
#include "fuzz/mqtt_checks.h"
#include "platform/ini_profile_file.h"
#include "server/mqtt_unit_publisher.h"
#include "server/startup.h"
#include "tests/support/test_doubles.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

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
            {"Options", "Overview"},
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
            {"HTTP", "Listen"},
            {"HTTP", "CertFile"},
            {"HTTP", "KeyFile"},
            {"HTTP", "Users"},
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

// The web server listens only where the parser reads the address back as it was written, and
// with TLS only when both its files are named.
void CheckHttpSettings(const ConfigFile& config)
{
    const HttpSettings http = ReadHttpSettings(config);
    if (!http.listen) return;
    FUZZ_CHECK(http.certFile.isEmpty() == http.keyFile.isEmpty(),
               (http.certFile + QStringLiteral(" / ") + http.keyFile).toUtf8());
    const ListenAddress& listen = *http.listen;
    const QString written = (listen.host.contains(u':') ? u'[' + listen.host + u']' : listen.host) +
                            u':' + QString::number(listen.port);
    const auto again = ParseListenAddress(written);
    const ListenAddress* read = std::get_if<ListenAddress>(&again);
    FUZZ_CHECK(read && read->host == listen.host && read->port == listen.port, written.toUtf8());
}

// `served` is the one unit whose discovery configs and record snapshot are made and checked; the
// others' discovery topics are cleared, and every topic is checked. The payloads are most of the
// cost of an input: one unit's, not four, lets the target try thousands of files in its CI time.
void CheckDerivedSettings(const ConfigFile& config, int served)
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
    OverviewAtStart(config);
    CheckHttpSettings(config);

    const MqttSettings mqtt = ReadMqttSettings(config);
    CheckWithLibrary(mqtt);
    // Discovery on whatever the file says, so that its topics are always checked.
    const MqttDiscoverySettings discovery{true, ReadMqttDiscovery(config).prefix};
    test::FakeClock clock;
    CheckedRetained out;
    MqttUnitPublisher publisher(items, state, clock, out, mqtt.topicRoot, discovery);
    publisher.onServedUnits({served});
    publisher.onRecord(served, RecordState::Live);
    CheckEveryTopic(mqtt.topicRoot, discovery.prefix);
}

// Old enough to be read once and kept, as a file nobody is editing; a file written just now is
// read again at every look, which would make every input cost a hundred readings.
void MakeSettled(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                          QFileDevice::FileModificationTime))
        Fail("cannot date GRAINLINK.INI back", file.errorString().toUtf8());
}

// Writes one key from the input's last line and reads everything back.
void CheckWrite(IniProfileFile& profile, const QString& path, QByteArrayView input)
{
    ConfigFile config(profile);
    const Key& key = kWritten[static_cast<std::size_t>(input.size()) % std::size(kWritten)];
    const QByteArray value = input.sliced(input.lastIndexOf('\n') + 1).toByteArray();
    const QByteArray before = Dump(config, key);
    if (!config.WriteSetting(key.section, key.key, value)) return;
    MakeSettled(path);
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
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const QString path = fuzz::ScratchFile(QStringLiteral("GRAINLINK.INI"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(input.data(), input.size()) != input.size())
        fuzz::Fail("cannot write GRAINLINK.INI", file.errorString().toUtf8());
    file.close();
    fuzz::MakeSettled(path);

    IniProfileFile profile(path);
    const int served = 1 + static_cast<int>(size % kMaxUnits);
    fuzz::CheckDerivedSettings(ConfigFile(profile), served);
    fuzz::CheckWrite(profile, path, input);
    return 0;
}
