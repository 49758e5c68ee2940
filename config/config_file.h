#pragma once

#include "platform/profile_file.h"

#include <QByteArray>
#include <QString>

namespace grainlink {

// The path of GRAINLINK.INI: the directory named by GRAINLINK_CONFIG_DIR, /etc/grainlink when
// that is not set. One file per machine.
QString ConfigFilePath();

// `ReadSetting` and `WriteSetting`: every access to GRAINLINK.INI goes through these two.
class ConfigFile {
public:
    explicit ConfigFile(ProfileFile& profile) : m_profile(profile) {}

    // The value of [section] key: at most capacity - 1 bytes, or the default when the key is
    // missing. The returned length is the value's size.
    QByteArray ReadSetting(const QByteArray& section, const QByteArray& key,
                           const QByteArray& defaultValue, int capacity) const;
    // Creates or replaces the one key. False when it could not be stored.
    bool WriteSetting(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    // ReadSetting for text that people type (unit and product names): at most capacity - 1
    // characters as a text box counts them, so that a name its box accepted comes back whole
    // whatever its characters take in bytes. A value that is not UTF-8 (a file written on a
    // system with an 8-bit character set) is read as Latin-1, one character per byte.
    QString ReadText(const QByteArray& section, const QByteArray& key, const QString& defaultValue,
                     int capacity) const;
    // WriteSetting for such text. A stored value that reads as `text` is written back as the
    // bytes it is, so that a name nobody changed keeps its character set and every byte; any
    // other text is stored as UTF-8.
    bool WriteText(const QByteArray& section, const QByteArray& key, const QString& text);

private:
    ProfileFile& m_profile;
};

}  // namespace grainlink
