#pragma once

#include <QByteArray>
#include <QObject>

#include <deque>
#include <functional>

class QSocketNotifier;

namespace grainlink {

// Lines for a reader that may stall or be gone (a pipe nobody reads, a terminal stopped with
// Ctrl+S, `| true`): writing a line never waits. What the reader cannot take yet waits in a
// bounded backlog and goes out from the event loop as soon as it can. A line that does not fit
// the backlog is dropped, and so is every line after it until the backlog has drained; then one
// line, made by the caller's notice, says how many were dropped. Once the reader is gone for
// good (broken pipe) every line is dropped quietly.
//
// The descriptor is reopened for non-blocking writes when it is a pipe or a terminal, so that
// other holders of it (the shell's terminal) keep blocking writes; a socket is written with
// non-blocking sends, and a regular file as it is.
class NonBlockingOutput : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kDefaultBacklogBytes = 256 * 1024;
    using DropNotice = std::function<QByteArray(qint64 droppedLines)>;

    NonBlockingOutput(int fd, DropNotice notice, qsizetype backlogBytes = kDefaultBacklogBytes,
                      QObject* parent = nullptr);
    ~NonBlockingOutput() override;

    // Writes one line, ending in "\n".
    void writeLine(const QByteArray& line);

private:
    enum class Kind { Plain, Socket };
    // Writes what the reader takes now: the byte count, 0 when it takes nothing, -1 once the
    // reader is gone.
    qsizetype WriteSome(const char* data, qsizetype size);
    void Queue(const QByteArray& line);
    void Flush();
    void WatchWritable(bool on);

    int m_fd = -1;
    bool m_ownFd = false;     // reopened: closed with this object
    int m_restoreFlags = -1;  // flags to put back when O_NONBLOCK had to be set on `fd` itself
    Kind m_kind = Kind::Plain;
    DropNotice m_notice;
    qsizetype m_backlogLimit;
    std::deque<QByteArray> m_backlog;
    qsizetype m_backlogBytes = 0;
    qsizetype m_frontWritten = 0;  // bytes of the first backlog line already written
    qint64 m_dropped = 0;
    bool m_gone = false;
    QSocketNotifier* m_writable = nullptr;
};

}  // namespace grainlink
