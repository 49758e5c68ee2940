#pragma once

#include "platform/profile_file.h"

#include <QByteArray>
#include <QMap>

namespace grainlink::test {

// [Options] in memory, values cut to capacity - 1 as the real file does; writes can fail.
struct MemoryProfile final : ProfileFile {
    QByteArray read(const QByteArray&, const QByteArray& key, const QByteArray& fallback,
                    int capacity) const override
    {
        return values.value(key, fallback).left(capacity - 1);
    }
    bool write(const QByteArray&, const QByteArray& key, const QByteArray& value) override
    {
        if (!failWrites) values.insert(key, value);
        return !failWrites;
    }
    QMap<QByteArray, QByteArray> values;
    bool failWrites = false;
};

}  // namespace grainlink::test
