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
        const char* expected;  // host:port root keepalive id, TLS files, discovery
    } rows[] = {
        {"[mqtt]\nHost=broker.plant\nPort=8883\nTopicRoot=site/line2\nKeepAlive=60\n"
         "ClientId=gl-line2\nCaFile=/c\nCertFile=/a\nKeyFile=/k\nDiscovery=1\n"
         "DiscoveryPrefix=ha/site1\n",
         "broker.plant:8883 site/line2 60 gl-line2, /c /a /k, 1 ha/site1"},
        {"[MQTT]\nHost=\nPort=70000\nTopicRoot=plant/#\nKeepAlive=4\nDiscoveryPrefix=ha/#\n",
         "localhost:1883 GRAINLINK 10 ,   , 0 homeassistant"},
        // A client certificate needs its key, and both need the CA file.
        {"[MQTT]\nHost=b\nPort=0\nTopicRoot=a+b\nKeepAlive=x\nCaFile=/c\nCertFile=/a\n"
         "DiscoveryPrefix=ha/\n",
         "b:1883 GRAINLINK 10 , /c  , 0 homeassistant"},
        {"[MQTT]\nPort=abc\nTopicRoot=\nCertFile=/a\nKeyFile=/k\n",
         "localhost:1883 GRAINLINK 10 ,   , 0 homeassistant"},
        // The limits themselves are taken.
        {"[MQTT]\nPort=65535\nKeepAlive=5\n", "localhost:65535 GRAINLINK 5 ,   , 0 homeassistant"},
        {"[MQTT]\nPort=1\nKeepAlive=65535\n", "localhost:1 GRAINLINK 65535 ,   , 0 homeassistant"},
        {"[MQTT]\nPort=65536\nKeepAlive=65536\n",
         "localhost:1883 GRAINLINK 10 ,   , 0 homeassistant"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        TempConfig temp;
        temp.setContents(row.ini);
        const MqttSettings read = ReadMqttSettings(temp.config);
        const MqttDiscoverySettings discovery = ReadMqttDiscovery(temp.config);
        EXPECT_EQ(QStringLiteral("%1:%2 %3 %4 %5, %6 %7 %8, %9 %10")
                      .arg(read.host)
                      .arg(read.port)
                      .arg(read.topicRoot)
                      .arg(read.keepAliveSeconds)
                      .arg(read.clientId, read.caFile, read.certFile, read.keyFile)
                      .arg(discovery.enabled)
                      .arg(discovery.prefix)
                      .toStdString(),
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

}  // namespace
}  // namespace grainlink::test
