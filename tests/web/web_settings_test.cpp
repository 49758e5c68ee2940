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

TEST(HttpSettings, TheServerIsOffUnlessEverythingAskedForCanBeHonoured)
{
    const struct {
        const char* section;
        bool on;
    } rows[] = {
        {"", false},
        {"[HTTP]\nListen=\n", false},
        {"[HTTP]\nListen=127.0.0.1:8080\n", true},
        {"[HTTP]\nListen= 127.0.0.1:8080 \nUsers=/etc/grainlink/users\n", true},
        {"[HTTP]\nListen=127.0.0.1\n", false},
        {"[HTTP]\nListen=127.0.0.1:8080\nCertFile=cert.pem\n", false},  // TLS without its key
        {"[HTTP]\nListen=127.0.0.1:8080\nKeyFile=key.pem\n", false},
        {"[HTTP]\nListen=127.0.0.1:8080\nCertFile=cert.pem\nKeyFile=key.pem\n", true},
    };
    for (const auto& row : rows) {
        TempConfig config;
        config.setContents(row.section);
        const HttpSettings settings = ReadHttpSettings(config.config);
        EXPECT_EQ(settings.listen.has_value(), row.on) << row.section;
    }
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
