#include "config/mqtt_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/ini_profile_file.h"

namespace grainlink::test {
namespace {

struct SettingsCase {
    const char* ini;
    const char* host;
    quint16 port;
    const char* root;
};

class MqttSettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(MqttSettingsTest, ReadsTheMqttSectionWithItsDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GRAINLINK.INI"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().ini);
    file.close();
    IniProfileFile profile(path);

    const MqttSettings settings = ReadMqttSettings(ConfigFile(profile));

    EXPECT_EQ(settings.host, QString::fromUtf8(GetParam().host));
    EXPECT_EQ(settings.port, GetParam().port);
    EXPECT_EQ(settings.topicRoot, QString::fromUtf8(GetParam().root));
}

INSTANTIATE_TEST_SUITE_P(
    Ini, MqttSettingsTest,
    ::testing::Values(
        SettingsCase{"[Options]\nUnits=2\n", "localhost", 1883, "GRAINLINK"},
        SettingsCase{"[mqtt]\nHost=broker.plant\nPort=8883\nTopicRoot=site/line2\n", "broker.plant",
                     8883, "site/line2"},
        SettingsCase{"[MQTT]\nHost=\nPort=70000\nTopicRoot=plant/#\n", "localhost", 1883,
                     "GRAINLINK"},
        SettingsCase{"[MQTT]\nPort=0\nTopicRoot=a+b\n", "localhost", 1883, "GRAINLINK"},
        SettingsCase{"[MQTT]\nPort=abc\nTopicRoot=\n", "localhost", 1883, "GRAINLINK"}));

}  // namespace
}  // namespace grainlink::test
