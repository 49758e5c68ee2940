#include "tools/sim/serial_line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace grainlink::sim {
namespace {

constexpr int kStaleMs = 3000;  // a receiver polling once a second has long taken it

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Raw 8-bit line at the instrument's 9600 baud, no parity, one stop bit, no flow control.
void MakeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) Fail("cannot read line settings");
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) Fail("cannot set line settings");
}

}  // namespace

SerialLine::SerialLine(int fd, int peerFd, QString path)
    : m_fd(fd), m_peerFd(peerFd), m_path(std::move(path))
{
    m_pendingSince.start();
}

SerialLine::~SerialLine()
{
    if (m_peerFd >= 0) ::close(m_peerFd);
    if (m_fd >= 0) ::close(m_fd);
}

std::unique_ptr<SerialLine> SerialLine::OpenPseudoTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) Fail("cannot create a pseudo-terminal");
    char name[128] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        Fail("cannot unlock the pseudo-terminal");
    }
    const int peer = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (peer < 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        Fail(std::string("cannot open ") + name);
    }
    std::unique_ptr<SerialLine> line(new SerialLine(master, peer, QString::fromLocal8Bit(name)));
    MakeRaw(peer);
    return line;
}

std::unique_ptr<SerialLine> SerialLine::OpenDevice(const QString& path)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + name.toStdString());
    std::unique_ptr<SerialLine> line(new SerialLine(fd, -1, path));
    if (isatty(fd)) MakeRaw(fd);
    return line;
}

void SerialLine::discardStaleOutput()
{
    if (m_peerFd < 0) return;
    const int unread = unreadCount();
    const bool taken = unread < m_unreadAfterWrite;
    if (taken && m_discarding) {
        std::fprintf(stderr, "grainlink-sim: the line is read again\n");
        m_discarding = false;
    }
    if (taken || unread == 0) {
        m_pendingSince.start();
        return;
    }
    if (m_pendingSince.elapsed() < kStaleMs) return;
    if (!m_discarding) std::fprintf(stderr, "grainlink-sim: nobody reads the line; dropping\n");
    m_discarding = true;
    tcflush(m_peerFd, TCIFLUSH);
    m_pendingSince.start();
}

void SerialLine::send(const QByteArray& bytes)
{
    discardStaleOutput();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            std::fprintf(stderr,
                         "grainlink-sim: line not taking output (%s), dropped %lld of %lld "
                         "characters\n",
                         n < 0 ? std::strerror(errno) : "no progress",
                         static_cast<long long>(bytes.size() - done),
                         static_cast<long long>(bytes.size()));
            break;
        }
    }
    m_unreadAfterWrite = unreadCount();
}

int SerialLine::unreadCount() const
{
    int count = 0;
    if (m_peerFd >= 0) {
        if (ioctl(m_peerFd, FIONREAD, &count) != 0) return 0;
    } else if (ioctl(m_fd, TIOCOUTQ, &count) != 0) {
        return 0;
    }
    return count;
}

}  // namespace grainlink::sim
