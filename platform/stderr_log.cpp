#include "platform/stderr_log.h"

#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

namespace grainlink {
namespace {

// Decided once: standard error is not replaced while the program runs.
bool StderrIsJournal()
{
    static const bool journal = IsJournalStream(STDERR_FILENO, qgetenv("JOURNAL_STREAM"));
    return journal;
}

LogPriority PriorityOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return LogPriority::Debug;
    case QtInfoMsg:
        return LogPriority::Info;
    case QtWarningMsg:
        return LogPriority::Warning;
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    }
    return LogPriority::Error;
}

void QtMessageToStderr(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogToStderr(PriorityOf(type), qFormatLogMessage(type, context, message));
}

}  // namespace

bool IsJournalStream(int fd, const QByteArray& journalStream)
{
    const QList<QByteArray> parts = journalStream.split(':');
    if (parts.size() != 2) return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const qulonglong device = parts[0].toULongLong(&deviceOk);
    const qulonglong inode = parts[1].toULongLong(&inodeOk);
    struct stat status {};
    return deviceOk && inodeOk && ::fstat(fd, &status) == 0 && status.st_dev == device &&
           status.st_ino == inode;
}

QByteArray StderrLines(LogPriority priority, const QString& text, bool journal)
{
    const QByteArray prefix =
        journal ? '<' + QByteArray::number(static_cast<int>(priority)) + '>' : QByteArray();
    // A text's own last line end is the end of its last line, not one more empty line.
    const QString body = text.endsWith(u'\n') ? text.chopped(1) : text;
    QByteArray lines;
    for (const QString& line : body.split(u'\n')) lines += prefix + line.toUtf8() + '\n';
    return lines;
}

void LogToStderr(LogPriority priority, const QString& text)
{
    // One write per message, so that messages from Qt's own threads never interleave.
    const QByteArray lines = StderrLines(priority, text, StderrIsJournal());
    std::fwrite(lines.constData(), 1, static_cast<size_t>(lines.size()), stderr);
    std::fflush(stderr);
}

void RouteQtMessagesToStderr()
{
    qInstallMessageHandler(QtMessageToStderr);
}

}  // namespace grainlink
