#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <ctime>

namespace grainlink {

enum class FileState { Missing, Read, Unreadable };

struct FileStatus {
    FileState state = FileState::Missing;
    QString reason;  // why an existing file is unreadable, such as "Permission denied"
};

// The contents of a small text file that people edit by hand (a configuration file), kept
// between reads while the file stays the same, so that reading many keys reads the file once.
//
// Guarantees:
// - Reading never blocks and never takes more than kMaxSize bytes: a file that is not a regular
//   file (a FIFO, a device such as /dev/zero behind a link, a directory) or that is larger is
//   refused as unreadable with its reason, and its contents read as empty.
// - A change to the file is never missed: the copy is kept only while the file's identity, size
//   and time stamps are unchanged, and only when its modification time is old enough that a
//   later change could not share it (time stamps are coarse on some file systems); a file changed
//   in the last seconds is read again each time.
class TextFileSnapshot {
public:
    static constexpr qint64 kMaxSize = 1 << 20;

    explicit TextFileSnapshot(QString path);

    // Brings the copy up to date with the file: a single stat while the file is unchanged.
    void Refresh();

    const FileStatus& status() const { return m_status; }
    // The file's bytes when it was read; empty otherwise.
    const QByteArray& contents() const { return m_contents; }

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        mode_t mode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Identity& other) const;
    };

    void Load();
    void SetUnreadable(const QString& reason);

    QString m_path;
    FileStatus m_status;
    QByteArray m_contents;
    Identity m_identity;
    bool m_trusted = false;  // whether an unchanged identity means unchanged contents
};

}  // namespace grainlink
