#include "config/mqtt_settings.h"

#include <gtest/gtest.h>

#include <QTemporaryFile>

#include "platform/ini_profile_file.h"

namespace grainlink::test {
namespace {

TEST(MqttSettingsTest, ReadsTheMqttSectionAndFallsBackToTheDefaultOfAValueItCannotUse)
{
    const struct {
        const char* ini;
        const char* expected;  // host:port root
    } rows[] = {
        {"[Options]\nUnits=2\n", "localhost:1883 GRAINLINK"},
        {"[mqtt]\nHost=broker.plant\nPort=8883\nTopicRoot=site/line2\n",
         "broker.plant:8883 site/line2"},
        {"[MQTT]\nHost=\nPort=70000\nTopicRoot=plant/#\n", "localhost:1883 GRAINLINK"},
        {"[MQTT]\nHost=b\nPort=0\nTopicRoot=a+b\n", "b:1883 GRAINLINK"},
        {"[MQTT]\nPort=abc\nTopicRoot=\n", "localhost:1883 GRAINLINK"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        QTemporaryFile file;
        ASSERT_TRUE(file.open() && file.write(row.ini) > 0 && file.flush());
        IniProfileFile profile(file.fileName());
        const MqttSettings read = ReadMqttSettings(ConfigFile(profile));
        EXPECT_EQ(QStringLiteral("%1:%2 %3").arg(read.host).arg(read.port).arg(read.topicRoot),
                  row.expected);
    }
}

}  // namespace
}  // namespace grainlink::test
