#include "config/service_credential.h"

#include <QFile>

namespace grainlink {

QByteArray PasswordLine(const QByteArray& contents)
{
    QByteArray line = contents.left(contents.indexOf('\n') < 0 ? contents.size()
                                                               : contents.indexOf('\n'));
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

std::optional<QByteArray> CredentialLine(const QString& directory, const char* name)
{
    if (directory.isEmpty()) return std::nullopt;
    QFile file(directory + u'/' + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray line = PasswordLine(file.read(kPasswordFileLimit));
    if (line.isEmpty()) return std::nullopt;
    return line;
}

}  // namespace grainlink
