#pragma once

#include <QByteArray>

namespace grainlink {

// Key/value store organised in sections, with the read and write rules of a Windows
// private profile file. Values are 8-bit bytes. Section and key names match without
// regard to case.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;

    // The value of [section] key cut to capacity - 1 bytes, or defaultValue (cut the same
    // way) when the key is missing.
    virtual QByteArray read(const QByteArray& section, const QByteArray& key,
                            const QByteArray& defaultValue, int capacity) const = 0;
    // Creates or replaces the one key, leaving the rest of the store as it was.
    // Returns false when the value could not be stored.
    virtual bool write(const QByteArray& section, const QByteArray& key,
                       const QByteArray& value) = 0;
};

}  // namespace grainlink
