#include "platform/nonblocking_output.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <utility>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grainlink {

NonBlockingOutput::NonBlockingOutput(int fd, DropNotice notice, qsizetype backlogBytes,
                                     QObject* parent)
    : QObject(parent), m_fd(fd), m_notice(std::move(notice)), m_backlogLimit(backlogBytes)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || S_ISREG(info.st_mode)) return;  // writes to a file never wait
    if (S_ISSOCK(info.st_mode)) {
        m_kind = Kind::Socket;
    } else {
        // A description of our own, so that O_NONBLOCK does not reach the others sharing `fd`.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        const int reopened = ::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (reopened >= 0) {
            m_fd = reopened;
            m_ownFd = true;
        } else if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0 && !(flags & O_NONBLOCK)) {
            m_restoreFlags = flags;
            ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        }
    }
    m_writable = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, [this] { Flush(); });
}

NonBlockingOutput::~NonBlockingOutput()
{
    Flush();  // whatever the reader takes now; the rest is lost rather than waited for
    delete m_writable;
    if (m_ownFd) ::close(m_fd);
    if (m_restoreFlags >= 0) ::fcntl(m_fd, F_SETFL, m_restoreFlags);
}

void NonBlockingOutput::writeLine(const QByteArray& line)
{
    if (m_gone) return;
    if (!m_backlog.empty() || m_dropped > 0) return Queue(line);
    const qsizetype written = WriteSome(line.constData(), line.size());
    if (written < 0 || written == line.size()) return;
    // Part of the line is out: the rest follows whatever the backlog's limit, so that no line
    // is ever cut.
    m_backlog.push_back(line);
    m_backlogBytes += line.size();
    m_frontWritten = written;
    WatchWritable(true);
}

qsizetype NonBlockingOutput::WriteSome(const char* data, qsizetype size)
{
    for (;;) {
        const ssize_t n = m_kind == Kind::Socket
                              ? ::send(m_fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL)
                              : ::write(m_fd, data, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        // The reader is gone (EPIPE) or the output failed for good: nothing will be read again.
        m_gone = true;
        m_backlog.clear();
        m_backlogBytes = 0;
        WatchWritable(false);
        return -1;
    }
}

void NonBlockingOutput::Queue(const QByteArray& line)
{
    if (m_dropped > 0 || m_backlogBytes + line.size() > m_backlogLimit) {
        ++m_dropped;
        return;
    }
    m_backlog.push_back(line);
    m_backlogBytes += line.size();
}

void NonBlockingOutput::Flush()
{
    while (!m_backlog.empty() && !m_gone) {
        const QByteArray& front = m_backlog.front();
        const qsizetype written =
            WriteSome(front.constData() + m_frontWritten, front.size() - m_frontWritten);
        if (written <= 0) return;
        m_frontWritten += written;
        if (m_frontWritten < front.size()) return;
        m_backlogBytes -= front.size();
        m_backlog.pop_front();
        m_frontWritten = 0;
        if (m_backlog.empty() && m_dropped > 0) {
            // The reader has taken everything that was kept: say what it missed.
            m_backlog.push_back(m_notice(std::exchange(m_dropped, 0)));
            m_backlogBytes = m_backlog.back().size();
        }
    }
    WatchWritable(false);
}

void NonBlockingOutput::WatchWritable(bool on)
{
    if (m_writable) m_writable->setEnabled(on);
}

}  // namespace grainlink
