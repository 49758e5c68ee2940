#pragma once

#include "platform/profile_file.h"
#include "platform/text_file_snapshot.h"

#include <QString>

#include <functional>
#include <optional>

namespace grainlink {

// ProfileFile on an INI text file that people also edit by hand, so it follows the habits of
// Windows private profile files: "[section]" headers and "key=value" lines, names compared
// without regard to ASCII case, blanks around names and values ignored, one pair of matching
// quotes around a value stripped, lines starting with ";" or "#" ignored, the first matching
// section and the first matching key in it win.
//
// Guarantees of a write:
// - Only the one key changes: an existing value is replaced on its own line, a new key goes
//   after the last non-blank line of its section, a new section at the end of the file. Every
//   other byte stays as it was; lines written use the file's own line ending (CRLF or LF).
// - A value can never create or change another key: line breaks in it become blanks, and names
//   that would not read back as themselves are refused. A value whose blanks or quotes would be
//   lost on reading is quoted, so reading gives back exactly what was written.
// - The file is replaced atomically (temporary file, then rename): a crash leaves either the old
//   or the new file, never a cut one. A file that exists but cannot be read is left alone and the
//   write fails.
// - Programs writing the file at the same time keep each other's keys. A write holds a lock on
//   the file's folder (FolderLock), which other GrainLink processes wait for, and reads the file
//   again just before replacing it: when an editor, which takes no lock, has saved meanwhile or
//   was still writing when the file was read, the write starts again from what is there now.
// - The file holds the scrambled password: a rewrite keeps its owner, group and permission bits
//   (the owner only where this user may give it away), and a new file is readable by its owner
//   and group only.
// - A UTF-8 byte-order mark at the start (some editors write one) is skipped on reading and kept
//   on writing.
// A missing or unreadable file reads as empty, so every read yields its default. The file is read
// once and kept while it is unchanged (TextFileSnapshot), which also refuses what is not a
// regular file of reasonable size.
class IniProfileFile final : public ProfileFile {
public:
    // Called after the new contents are written to the temporary file and just before it
    // replaces the real one; lets a test stop the process at the worst moment.
    using BeforeCommit = std::function<void()>;

    explicit IniProfileFile(QString path, BeforeCommit beforeCommit = {});

    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override;
    bool write(const QByteArray& section, const QByteArray& key,
               const QByteArray& value) override;

    const QString& path() const { return m_path; }
    // Whether the file is there and readable, and if not why.
    FileStatus status() const;

private:
    // The file's text, after its byte-order mark if it has one.
    struct Text {
        QByteArray byteOrderMark;
        QByteArray body;
    };
    // Empty for a missing file, nothing for one that exists but cannot be read.
    std::optional<Text> Contents() const;

    enum class Outcome { Replaced, Failed, ChangedMeanwhile };
    // Replaces the file with `updated` unless it no longer holds `basis`, what it was made from.
    Outcome Replace(const QByteArray& basis, const QByteArray& updated);

    QString m_path;
    BeforeCommit m_beforeCommit;
    mutable TextFileSnapshot m_file;
};

}  // namespace grainlink
