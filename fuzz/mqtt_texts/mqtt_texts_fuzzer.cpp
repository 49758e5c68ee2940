// The MQTT text settings alone, without the file around them, so that every mutation lands in a
// text: the input's lines are [MQTT] TopicRoot, DiscoveryPrefix, ClientId and Username, as the
// profile hands them over. Whatever the settings accept, libmosquitto must accept too: every topic
// the server publishes on, the client id, the last will and the user name.

#include "fuzz/mqtt_checks.h"
#include "platform/profile_file.h"

#include <map>

namespace grainlink::fuzz {
namespace {

constexpr const char* kKeys[] = {"topicroot", "discoveryprefix", "clientid", "username"};

// [MQTT] keys only, as a profile file reads them: cut to the reader's capacity.
class MqttSection final : public ProfileFile {
public:
    explicit MqttSection(QByteArrayView input)
    {
        const QList<QByteArray> lines = input.toByteArray().split('\n');
        for (std::size_t k = 0; k < std::size(kKeys) && k < std::size_t(lines.size()); ++k)
            m_values[kKeys[k]] = lines[static_cast<qsizetype>(k)];
    }

    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override
    {
        const auto found = m_values.find(key.toLower());
        const bool here = section.compare("MQTT", Qt::CaseInsensitive) == 0 &&
                          found != m_values.end();
        return (here ? found->second : defaultValue).left(capacity - 1);
    }

    // The settings are only read here.
    bool write(const QByteArray&, const QByteArray&, const QByteArray&) override { return false; }

private:
    std::map<QByteArray, QByteArray> m_values;
};

}  // namespace
}  // namespace grainlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace grainlink;
    fuzz::MqttSection section(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const ConfigFile config(section);
    const MqttSettings mqtt = ReadMqttSettings(config);
    fuzz::CheckWithLibrary(mqtt);
    fuzz::CheckEveryTopic(mqtt.topicRoot, ReadMqttDiscovery(config).prefix);
    return 0;
}
