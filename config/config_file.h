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

private:
    ProfileFile& m_profile;
};

}  // namespace grainlink
