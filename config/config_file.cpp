#include "config/config_file.h"

#include <QDir>
#include <QUtf8StringView>

#include <limits>

namespace grainlink {
namespace {

// A capacity that cuts nothing.
constexpr int kWholeValue = std::numeric_limits<int>::max();

QString StoredText(const QByteArray& bytes)
{
    return QUtf8StringView(bytes).isValidUtf8() ? QString::fromUtf8(bytes)
                                                : QString::fromLatin1(bytes);
}

}  // namespace

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

QString ConfigFile::ReadText(const QByteArray& section, const QByteArray& key,
                             const QString& defaultValue, int capacity) const
{
    if (capacity <= 0) return {};
    QString text = StoredText(m_profile.read(section, key, defaultValue.toUtf8(), kWholeValue));
    if (text.size() >= capacity) {
        text.truncate(capacity - 1);
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    }
    return text;
}

bool ConfigFile::WriteText(const QByteArray& section, const QByteArray& key, const QString& text)
{
    const QByteArray stored = m_profile.read(section, key, {}, kWholeValue);
    return m_profile.write(section, key, StoredText(stored) == text ? stored : text.toUtf8());
}

}  // namespace grainlink
