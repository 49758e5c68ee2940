#include "config/config_file.h"

#include <QDir>

namespace grainlink {

QString ConfigFilePath()
{
    QString dir = qEnvironmentVariable("GRAINLINK_CONFIG_DIR");
    if (dir.isEmpty()) dir = QStringLiteral("/etc/grainlink");
    return QDir(dir).filePath(QStringLiteral("GRAINLINK.INI"));
}

QByteArray ConfigFile::ReadSetting(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& defaultValue, int capacity) const
{
    return m_profile.read(section, key, defaultValue, capacity);
}

bool ConfigFile::WriteSetting(const QByteArray& section, const QByteArray& key,
                              const QByteArray& value)
{
    return m_profile.write(section, key, value);
}

}  // namespace grainlink
