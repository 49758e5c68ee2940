#include "web/web_users.h"

#include <QCryptographicHash>
#include <QList>

namespace grainlink {
namespace {

bool StrongHash(const QByteArray& hash)
{
    for (const char* prefix : {"$y$", "$gy$", "$7$", "$2b$", "$2y$", "$6$", "$5$"})
        if (hash.startsWith(prefix)) return true;
    return false;
}

}  // namespace

WebUsers::WebUsers(const QByteArray& content, Verifier verify, const Clock& clock)
    : m_verify(std::move(verify)), m_clock(clock)
{
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const qsizetype colon = line.indexOf(':');
        const QString where = QStringLiteral("line %1").arg(i + 1);
        if (colon <= 0) {
            m_faults << where + QStringLiteral(": not name:hash");
            continue;
        }
        const QByteArray name = line.first(colon);
        // htpasswd writes name:hash; /etc/shadow-like lines carry more fields after the hash.
        const QByteArray hash = line.sliced(colon + 1).split(':').front();
        if (!StrongHash(hash))
            m_faults << where + QStringLiteral(": the password hash of %1 is not yescrypt, bcrypt "
                                               "or SHA-crypt")
                                    .arg(QString::fromUtf8(name));
        else
            m_hashes.insert(name, hash);
    }
    if (!m_hashes.isEmpty()) m_unknownNameHash = m_hashes.cbegin().value();
}

bool WebUsers::withinBudget()
{
    const QDateTime now = m_clock.now();
    const qint64 elapsed = m_budgetStart.isValid() ? m_budgetStart.msecsTo(now) : -1;
    // A clock set back starts a new second as well.
    if (elapsed < 0 || elapsed >= 1000) {
        m_budgetStart = now;
        m_failures = 0;
    }
    return m_failures < kFailuresPerSecond;
}

bool WebUsers::allows(QByteArrayView authorization)
{
    const QByteArrayView scheme = "Basic ";
    if (authorization.size() <= scheme.size() ||
        authorization.first(scheme.size()).compare(scheme, Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray digest =
        QCryptographicHash::hash(authorization, QCryptographicHash::Sha256);
    if (m_verified.contains(digest)) return true;

    const auto decoded = QByteArray::fromBase64Encoding(
        authorization.sliced(scheme.size()).trimmed().toByteArray(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return false;
    const QByteArray& credentials = *decoded;
    const qsizetype colon = credentials.indexOf(':');
    if (colon < 0) return false;
    if (!withinBudget()) return false;
    const auto hash = m_hashes.constFind(credentials.first(colon));
    const bool known = hash != m_hashes.cend();
    // An unknown name is refused whatever the verification says; it runs for its time alone.
    if (!m_verify(credentials.sliced(colon + 1), known ? *hash : m_unknownNameHash) || !known) {
        ++m_failures;
        return false;
    }
    if (m_verified.size() >= kRememberedHeaders) m_verified.clear();
    m_verified.insert(digest);
    return true;
}

}  // namespace grainlink
