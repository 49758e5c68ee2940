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

WebUsers::WebUsers(const QByteArray& content, Verifier verify) : m_verify(std::move(verify))
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
    const auto hash = m_hashes.constFind(credentials.first(colon));
    if (hash == m_hashes.cend() || !m_verify(credentials.sliced(colon + 1), *hash)) return false;
    if (m_verified.size() >= kRememberedHeaders) m_verified.clear();
    m_verified.insert(digest);
    return true;
}

}  // namespace grainlink
