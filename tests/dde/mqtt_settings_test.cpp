#include "config/mqtt_settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
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

// Each text that MQTT carries, with what libmosquitto would refuse later (and then only as "not
// valid MQTT"): refused at start-up with its key and reason, the default used instead.
TEST(MqttSettingsTest, ATextThatMqttDoesNotAllowIsRefusedWithItsKeyAndReason)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    const QByteArray longRoot(128, 'r');
    const struct {
        QByteArray line;
        QByteArray expected;  // root|client id|user name|discovery prefix
        QString warning;
    } rows[] = {
        {"TopicRoot=K\303\244rwerk/S\303\274d", "K\u00e4rwerk/S\u00fcd|||homeassistant", {}},
        {"TopicRoot=site%1/line", "site%1/line|||homeassistant", {}},
        {"TopicRoot=site\x07", "GRAINLINK|||homeassistant",
         "TopicRoot=site\\x07 cannot be used (holds the control character U+0007); using "
         "GRAINLINK"},
        {"TopicRoot=K\xE4rwerk", "GRAINLINK|||homeassistant",
         "TopicRoot=K\\xE4rwerk cannot be used (not UTF-8 text); using GRAINLINK"},
        {"TopicRoot=$SYS/plant", "GRAINLINK|||homeassistant",
         "TopicRoot=$SYS/plant cannot be used (starts with $, which marks the broker's own "
         "topics); using GRAINLINK"},
        {"TopicRoot=" + longRoot, "GRAINLINK|||homeassistant",
         "TopicRoot=" + longRoot + " cannot be used (longer than 127 bytes); using GRAINLINK"},
        {"TopicRoot=" + longRoot.chopped(1), longRoot.chopped(1) + "|||homeassistant", {}},
        {"ClientId=gl\1771", "GRAINLINK|||homeassistant",
         "ClientId=gl\\x7F1 cannot be used (holds the control character U+007F); using one made "
         "by the server"},
        {"Username=op\xC2\x85", "GRAINLINK|||homeassistant",
         "Username=op\\x85 cannot be used (holds the control character U+0085); logging on "
         "without a user name"},
        {"Username=op\xEF\xBF\xBE", "GRAINLINK|||homeassistant",
         "Username=op\uFFFE cannot be used (holds U+FFFE, which is not a character); logging on "
         "without a user name"},
        {"DiscoveryPrefix=ha\x01", "GRAINLINK|||homeassistant",
         "DiscoveryPrefix=ha\\x01 cannot be used (holds the control character U+0001); using "
         "homeassistant"},
        {"DiscoveryPrefix=ha/+", "GRAINLINK|||homeassistant",
         "DiscoveryPrefix=ha/+ cannot be used (holds the wildcard +); using homeassistant"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line.toStdString());
        warnings.clear();
        TempConfig temp;
        temp.setContents("[MQTT]\n" + row.line + '\n');
        const MqttSettings read = ReadMqttSettings(temp.config);
        const MqttDiscoverySettings discovery = ReadMqttDiscovery(temp.config);
        EXPECT_EQ(
            QStringList({read.topicRoot, read.clientId, read.username, discovery.prefix}).join('|'),
            QString::fromUtf8(row.expected));
        EXPECT_EQ(warnings, row.warning.isEmpty()
                                ? QStringList()
                                : QStringList("GRAINLINK.INI [MQTT] " + row.warning));
    }
    qInstallMessageHandler(previous);
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

// The service's password arrives as a systemd credential, so that its file can be readable by
// root only; PasswordFile stays for the windowed program and for systems without credentials.
TEST(MqttSettingsTest, ThePasswordCredentialComesBeforeThePasswordFile)
{
    TempConfig temp;
    const QString dir = temp.dir.path();
    QDir().mkpath(dir + "/credentials");
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir + '/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write("file", "from the file\n");
    const struct {
        const char* credential;  // nullptr: none in the directory
        const char* user;
        const char* expected;
    } rows[] = {
        {"from systemd\r\n", "plant", "from systemd"},
        {"\n", "plant", "from the file"},  // the unit's default: no password file behind it
        {nullptr, "plant", "from the file"},
        {"from systemd", "", ""},
    };
    qputenv("CREDENTIALS_DIRECTORY", QFile::encodeName(dir + "/credentials"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.credential ? row.credential : "none");
        QFile::remove(dir + "/credentials/mqtt-password");
        if (row.credential) write("credentials/mqtt-password", row.credential);
        temp.setContents(QByteArray("[MQTT]\nUsername=") + row.user + "\nPasswordFile=" +
                         (dir + "/file").toUtf8() + '\n');
        EXPECT_EQ(ReadMqttSettings(temp.config).password, row.expected);
    }
    qunsetenv("CREDENTIALS_DIRECTORY");
}

}  // namespace
}  // namespace grainlink::test
