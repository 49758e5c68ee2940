#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace grainlink {

// The people who may read the web page and the API when HTTP Basic authentication is on: the
// lines "name:hash" of the users file, where hash is a crypt(3) password hash of a strong
// kind (yescrypt "$y$" from `mkpasswd`, bcrypt "$2y$"/"$2b$" from `htpasswd -B`, SHA-crypt
// "$6$"/"$5$" from `openssl passwd -6`), so that the same file also serves nginx's
// auth_basic_user_file. Blank lines and lines starting with "#" are skipped.
//
// A hash is slow on purpose; a verified Authorization header is remembered (as a digest) for
// the run, so that a page polling with it costs one verification, not one per request.
class WebUsers {
public:
    using Verifier = std::function<bool(const QByteArray& password, const QByteArray& hash)>;

    // Reads the file's content; each line that cannot be used is named in faults() and skipped.
    WebUsers(const QByteArray& content, Verifier verify);

    qsizetype size() const { return m_hashes.size(); }
    const QStringList& faults() const { return m_faults; }

    // Whether the Authorization header ("Basic base64(name:password)") names a user of the
    // file with the right password.
    bool allows(QByteArrayView authorization);

private:
    static constexpr qsizetype kRememberedHeaders = 64;

    QHash<QByteArray, QByteArray> m_hashes;  // name -> hash
    QStringList m_faults;
    Verifier m_verify;
    QSet<QByteArray> m_verified;  // digests of headers that were allowed
};

}  // namespace grainlink
