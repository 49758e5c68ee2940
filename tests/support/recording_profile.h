#pragma once

#include "platform/profile_file.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>

namespace grainlink::test {

// A profile in memory that records every write as "Section/Key=value", in order; names match
// without regard to case and values are cut to capacity - 1, as in the real file. Writes can be
// made to fail.
class RecordingProfile final : public ProfileFile {
public:
    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override
    {
        return values.value((section + '/' + key).toLower(), defaultValue).left(capacity - 1);
    }
    bool write(const QByteArray& section, const QByteArray& key, const QByteArray& value) override
    {
        writes << QString::fromLatin1(section + '/' + key + '=' + value);
        if (!failWrites) values.insert((section + '/' + key).toLower(), value);
        return !failWrites;
    }

    QMap<QByteArray, QByteArray> values;
    QStringList writes;
    bool failWrites = false;
};

}  // namespace grainlink::test
