#pragma once

#include "config/config_file.h"
#include "platform/message_box.h"

namespace grainlink {

// Writes a dialog's settings key by key and remembers whether any of them could not be stored,
// so that the user is told once that the changes will not survive a restart, instead of the
// dialog closing as if everything had been saved.
class KeyWriter {
public:
    explicit KeyWriter(ConfigFile& config) : m_config(config) {}

    void Write(const QByteArray& section, const QByteArray& key, const QByteArray& value)
    {
        if (!m_config.WriteSetting(section, key, value)) m_failed = true;
    }

    void WriteText(const QByteArray& section, const QByteArray& key, const QString& text)
    {
        if (!m_config.WriteText(section, key, text)) m_failed = true;
    }

    // Tells the user when a write failed; the settings still apply until the program stops.
    void ReportFailure(MessageBox& messages, const QString& title) const
    {
        if (m_failed)
            messages.show(title,
                          QStringLiteral("The settings could not be saved to the configuration "
                                         "file. They apply until the program is stopped."),
                          MessageIcon::Exclamation);
    }

private:
    ConfigFile& m_config;
    bool m_failed = false;
};

}  // namespace grainlink
