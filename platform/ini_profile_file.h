#pragma once

#include "platform/profile_file.h"

#include <QString>

namespace grainlink {

// ProfileFile on an INI text file.
class IniProfileFile final : public ProfileFile {
public:
    explicit IniProfileFile(QString path);

    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override;
    bool write(const QByteArray& section, const QByteArray& key,
               const QByteArray& value) override;

private:
    QString m_path;
};

}  // namespace grainlink
