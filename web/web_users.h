#pragma once

#include "platform/clock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
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
// the run, so that a page polling with it costs one verification, not one per request. A name
// that is not in the file is verified too, against the hash of one of the users, so that its
// answer takes as long and tells nothing of which names exist. The verifications run on the
// one thread of the server: past kFailuresPerSecond failed ones within a second, every header
// not remembered is refused without verifying it, so that guessing cannot hold up the server.
class WebUsers {
public:
    using Verifier = std::function<bool(const QByteArray& password, const QByteArray& hash)>;

    static constexpr int kFailuresPerSecond = 4;

    // Reads the file's content; each line that cannot be used is named in faults() and skipped.
    WebUsers(const QByteArray& content, Verifier verify, const Clock& clock);

    qsizetype size() const { return m_hashes.size(); }
    const QStringList& faults() const { return m_faults; }

    // Whether the Authorization header ("Basic base64(name:password)") names a user of the
    // file with the right password.
    bool allows(QByteArrayView authorization);

private:
    static constexpr qsizetype kRememberedHeaders = 64;

    // Whether another verification may run now.
    bool withinBudget();

    QHash<QByteArray, QByteArray> m_hashes;  // name -> hash
    QByteArray m_unknownNameHash;            // a user's: the same kind and cost
    QStringList m_faults;
    Verifier m_verify;
    const Clock& m_clock;
    QSet<QByteArray> m_verified;  // digests of headers that were allowed
    QDateTime m_budgetStart;      // of the second the failures are counted in
    int m_failures = 0;
};

}  // namespace grainlink
