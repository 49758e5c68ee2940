#pragma once

#include "config/config_file.h"
#include "platform/ini_profile_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {

// A GRAINLINK.INI of its own in a temporary directory, read and written through the real file
// layer.
struct TempConfig {
    void setContents(const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

    QByteArray contents() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("GRAINLINK.INI"));
    IniProfileFile profile{path};
    ConfigFile config{profile};
};

}  // namespace grainlink::test
