#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <variant>

namespace grainlink {

// A small file that a setting names (a password file, a users file), as read.
struct SmallFile {
    QByteArray bytes;
    QFileDevice::Permissions permissions;  // for the caller's check of who else may use it
};

// Why it was not read; `reason` says so in words ("no such file", "not a regular file",
// "larger than 4096 bytes", or why it could not be opened).
struct SmallFileRefusal {
    enum Fault { Missing, NotRegularFile, TooLarge, Unreadable } fault;
    QString reason;
};

// Reads the file at `path` when it is a regular file of at most `limit` bytes. It is looked at
// before it is opened, so that a FIFO or a device named by mistake cannot hang or flood the
// start-up, and at most limit + 1 bytes are read, so that a file that grew meanwhile is
// refused rather than read whole.
std::variant<SmallFile, SmallFileRefusal> ReadSmallRegularFile(const QString& path, qint64 limit);

}  // namespace grainlink
