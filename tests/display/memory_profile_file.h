#pragma once

#include <QByteArray>
#include <QMap>

#include "platform/profile_file.h"

namespace grainlink::test {

// An INI store in memory with the profile read rules (names without regard to case, values cut
// to capacity - 1). Writes can be made to fail, as on a read-only file.
class MemoryProfileFile final : public ProfileFile {
public:
    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override
    {
        const QByteArray value = m_values.value(Name(section, key), defaultValue);
        return value.left(capacity - 1);
    }
    bool write(const QByteArray& section, const QByteArray& key, const QByteArray& value) override
    {
        ++writes;
        if (failWrites) return false;
        m_values.insert(Name(section, key), value);
        return true;
    }
    QByteArray value(const QByteArray& section, const QByteArray& key) const
    {
        return m_values.value(Name(section, key));
    }

    bool failWrites = false;
    int writes = 0;

private:
    static QByteArray Name(const QByteArray& section, const QByteArray& key)
    {
        return section.toLower() + '\n' + key.toLower();
    }
    QMap<QByteArray, QByteArray> m_values;
};

}  // namespace grainlink::test
