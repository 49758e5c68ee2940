// The [HTTP] settings and the users' passwords.
#include "config/http_settings.h"
#include "platform/password_hash.h"
#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

TEST(ListenAddress, OnlyAnAddressAndAPortAreAccepted)
{
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        quint16 port;
    } rows[] = {
        {"127.0.0.1:8080", "127.0.0.1", 8080},
        {"0.0.0.0:80", "0.0.0.0", 80},
        {"localhost:65535", "localhost", 65535},
        {"[::1]:8080", "::1", 8080},
        {"[fe80::1%eth0]:8080", nullptr, 0},
        {"8080", nullptr, 0},
        {":8080", nullptr, 0},
        {"127.0.0.1:0", nullptr, 0},
        {"127.0.0.1:65536", nullptr, 0},
        {"127.0.0.1:80x", nullptr, 0},
        {"127.0.0.256:80", nullptr, 0},
        {"127.0.0:80", nullptr, 0},
        {"127.0.0.+1:80", nullptr, 0},
        {"plant-pc:8080", nullptr, 0},  // a name would be looked up: refused, not guessed
        {"::1:8080", nullptr, 0},
    };
    for (const auto& row : rows) {
        const auto parsed = ParseListenAddress(QString::fromLatin1(row.text));
        const auto* address = std::get_if<ListenAddress>(&parsed);
        if (!row.host) {
            EXPECT_EQ(address, nullptr) << row.text;
            continue;
        }
        ASSERT_NE(address, nullptr) << row.text;
        EXPECT_EQ(address->host, QString::fromLatin1(row.host)) << row.text;
        EXPECT_EQ(address->port, row.port) << row.text;
    }
}

// Served to other machines without a log-on, the page is served with a warning that says so.
TEST(HttpSettings, TheServerIsOffUnlessEverythingAskedForCanBeHonoured)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    const struct {
        const char* section;
        bool on;
        bool openToAnyone;
    } rows[] = {
        {"", false, false},
        {"[HTTP]\nListen=\n", false, false},
        {"[HTTP]\nListen=127.0.0.1:8080\n", true, false},
        {"[HTTP]\nListen= 127.0.0.1:8080 \nUsers=/etc/grainlink/users\n", true, false},
        {"[HTTP]\nListen=127.0.0.1\n", false, false},
        // TLS without its key
        {"[HTTP]\nListen=127.0.0.1:8080\nCertFile=cert.pem\n", false, false},
        {"[HTTP]\nListen=127.0.0.1:8080\nKeyFile=key.pem\n", false, false},
        {"[HTTP]\nListen=127.0.0.1:8080\nCertFile=cert.pem\nKeyFile=key.pem\n", true, false},
        {"[HTTP]\nListen=0.0.0.0:8080\n", true, true},
        {"[HTTP]\nListen=192.168.1.5:8080\nCertFile=cert.pem\nKeyFile=key.pem\n", true, true},
        {"[HTTP]\nListen=[::]:8080\nUsers=/etc/grainlink/users\n", true, false},
        {"[HTTP]\nListen=0.0.0.0:8080\nCertFile=cert.pem\n", false, false},
        {"[HTTP]\nListen=127.1.2.3:8080\n", true, false},
        {"[HTTP]\nListen=localhost:8080\n", true, false},
        {"[HTTP]\nListen=[::1]:8080\n", true, false},
        {"[HTTP]\nListen=[0:0::0001]:8080\n", true, false},
        {"[HTTP]\nListen=[1::]:8080\n", true, true},
        {"[HTTP]\nListen=[::]:8080\n", true, true},
    };
    const QString open = QStringLiteral(
        "GRAINLINK.INI [HTTP] Listen=%1 without Users: the page and the API are open to anyone "
        "who can reach that address; set Users to a file of users who log on, with CertFile and "
        "KeyFile for TLS, or listen on 127.0.0.1 behind a proxy");
    for (const auto& row : rows) {
        TempConfig config;
        config.setContents(row.section);
        warnings.clear();
        const HttpSettings settings = ReadHttpSettings(config.config);
        EXPECT_EQ(settings.listen.has_value(), row.on) << row.section;
        const QString listen = QString::fromLatin1(row.section).section(u'\n', 1, 1).mid(7);
        EXPECT_EQ(warnings.contains(open.arg(listen)), row.openToAnyone) << row.section;
    }
    qInstallMessageHandler(previous);
}

TEST(PasswordHash, TheSystemsCryptChecksThePassword)
{
    // From `openssl passwd -6 -salt grainlink right`.
    const QByteArray sha512 =
        "$6$grainlink$mtrVeHRJWmeC66MzbERpT/ToFCGGJUB4.zUi7lkuDKzsEagn1SN4ftSMMK9vgGpWWZwPCFZDB.9hPIHrD.h4J1";
    EXPECT_TRUE(PasswordMatchesHash("right", sha512));
    EXPECT_FALSE(PasswordMatchesHash("wrong", sha512));
    EXPECT_FALSE(PasswordMatchesHash("righ", sha512));
    EXPECT_FALSE(PasswordMatchesHash(QByteArray("right\0", 6), sha512));
    EXPECT_FALSE(PasswordMatchesHash("right", sha512.chopped(1)));
    EXPECT_FALSE(PasswordMatchesHash("right", "$6$"));
    EXPECT_FALSE(PasswordMatchesHash("right", "*"));
    EXPECT_FALSE(PasswordMatchesHash("", ""));
}

}  // namespace
}  // namespace grainlink::test
