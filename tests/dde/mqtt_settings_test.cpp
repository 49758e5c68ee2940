#include "config/mqtt_settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QFile>

#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

TEST(MqttSettingsTest, ReadsTheMqttSectionAndFallsBackToTheDefaultOfAValueItCannotUse)
{
    const struct {
        const char* ini;
        const char* expected;  // host:port root keepalive client id
    } rows[] = {
        {"[Options]\nUnits=2\n", "localhost:1883 GRAINLINK 10 "},
        {"[mqtt]\nHost=broker.plant\nPort=8883\nTopicRoot=site/line2\nKeepAlive=60\n"
         "ClientId=grainlink-line2\n",
         "broker.plant:8883 site/line2 60 grainlink-line2"},
        {"[MQTT]\nHost=\nPort=70000\nTopicRoot=plant/#\nKeepAlive=4\n", "localhost:1883 GRAINLINK 10 "},
        {"[MQTT]\nHost=b\nPort=0\nTopicRoot=a+b\nKeepAlive=x\n", "b:1883 GRAINLINK 10 "},
        {"[MQTT]\nPort=abc\nTopicRoot=\n", "localhost:1883 GRAINLINK 10 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        TempConfig temp;
        temp.setContents(row.ini);
        const MqttSettings read = ReadMqttSettings(temp.config);
        EXPECT_EQ(QStringLiteral("%1:%2 %3 %4 %5")
                      .arg(read.host)
                      .arg(read.port)
                      .arg(read.topicRoot)
                      .arg(read.keepAliveSeconds)
                      .arg(read.clientId),
                  row.expected);
    }
}

// The password comes from its own file, never from GRAINLINK.INI; a file that is no password file
// (missing, a FIFO that would hang the start-up, too big) leaves it empty instead of stopping.
TEST(MqttSettingsTest, ReadsThePasswordFromTheFirstLineOfItsFile)
{
    TempConfig temp;
    const QString dir = temp.dir.path();
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir + '/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write("crlf", "s3cret pass\r\nsecond line\n");
    write("bare", "s3cret");
    write("big", QByteArray(5000, 'x'));
    ASSERT_EQ(::mkfifo(qPrintable(dir + "/fifo"), 0600), 0);

    const struct {
        const char* file;
        const char* user;
        const char* expected;
    } rows[] = {
        {"crlf", "plant", "s3cret pass"}, {"bare", "plant", "s3cret"}, {"missing", "plant", ""},
        {"fifo", "plant", ""},            {"big", "plant", ""},        {"bare", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        temp.setContents(QByteArray("[MQTT]\nUsername=") + row.user + "\nPasswordFile=" +
                         (dir + '/' + row.file).toUtf8() + '\n');
        const MqttSettings read = ReadMqttSettings(temp.config);
        EXPECT_EQ(read.username, row.user);
        EXPECT_EQ(read.password, row.expected);
    }
}

TEST(MqttSettingsTest, AClientCertificateNeedsItsKeyAndTheCaFile)
{
    const struct {
        const char* ini;
        const char* expected;  // ca cert key
    } rows[] = {
        {"CaFile=/c\nCertFile=/a\nKeyFile=/k\n", "/c /a /k"},
        {"CaFile=/c\nCertFile=/a\n", "/c  "},
        {"CertFile=/a\nKeyFile=/k\n", "  "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        TempConfig temp;
        temp.setContents(QByteArray("[MQTT]\n") + row.ini);
        const MqttSettings read = ReadMqttSettings(temp.config);
        EXPECT_EQ(QStringLiteral("%1 %2 %3").arg(read.caFile, read.certFile, read.keyFile),
                  row.expected);
    }
}

TEST(MqttSettingsTest, DiscoveryIsOffByDefaultUnderHomeassistant)
{
    const struct {
        const char* ini;
        bool enabled;
        const char* prefix;
    } rows[] = {
        {"", false, "homeassistant"},
        {"Discovery=1\nDiscoveryPrefix=ha/site1\n", true, "ha/site1"},
        {"Discovery=0\nDiscoveryPrefix=ha/#\n", false, "homeassistant"},
        {"Discovery=1\nDiscoveryPrefix=ha/\n", true, "homeassistant"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        TempConfig temp;
        temp.setContents(QByteArray("[MQTT]\n") + row.ini);
        const MqttDiscoverySettings read = ReadMqttDiscovery(temp.config);
        EXPECT_EQ(read.enabled, row.enabled);
        EXPECT_EQ(read.prefix, row.prefix);
    }
}

}  // namespace
}  // namespace grainlink::test
