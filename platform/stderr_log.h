#pragma once

#include <QByteArray>
#include <QString>

namespace grainlink {

// The priorities of sd-daemon(3), by which the journal files each line of a service.
enum class LogPriority { Error = 3, Warning = 4, Info = 6, Debug = 7 };

// Writes `text` to standard error as one line per line of text. When standard error is the
// journal's stream, every line starts with its priority ("<4>"), so that
// `journalctl -p warning` shows the troubles and nothing else; anywhere else the lines are
// written as they are. Every line the program writes to standard error goes through here.
void LogToStderr(LogPriority priority, const QString& text);

// Sends the messages of qDebug(), qInfo(), qWarning(), qCritical() and qFatal() through
// LogToStderr with their priorities, formatted as Qt's own handler would.
void RouteQtMessagesToStderr();

// Whether `fd` is the stream systemd names in JOURNAL_STREAM ("<device>:<inode>" in decimal).
// Checked against the descriptor itself, because the variable is inherited by children whose
// standard error goes elsewhere (a shell started from a service, a redirection).
bool IsJournalStream(int fd, const QByteArray& journalStream);

// The bytes LogToStderr writes for `text`, with the priority prefixes or without.
QByteArray StderrLines(LogPriority priority, const QString& text, bool journal);

}  // namespace grainlink
