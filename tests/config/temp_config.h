#pragma once

#include "config/config_file.h"
#include "platform/ini_profile_file.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {

// A GRAINLINK.INI of its own in a temporary directory, read and written through the real file
// layer.
class TempConfig {
public:
    TempConfig() : m_profile(path()), m_config(m_profile) {}

    QString path() const { return m_dir.filePath(QStringLiteral("GRAINLINK.INI")); }

    void setContents(const QByteArray& bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ConfigFile& config() { return m_config; }

private:
    QTemporaryDir m_dir;
    IniProfileFile m_profile;
    ConfigFile m_config;
};

}  // namespace grainlink::test
