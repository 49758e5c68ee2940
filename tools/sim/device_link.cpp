#include "tools/sim/device_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace grainlink::sim {
namespace {

constexpr int kWatchMs = 1000;

}  // namespace

DeviceLink::DeviceLink(const QString& linkPath, const QString& target, QObject* parent)
    : QObject(parent), m_link(linkPath.toLocal8Bit()), m_target(target.toLocal8Bit())
{
    place();
    connect(&m_watch, &QTimer::timeout, this, &DeviceLink::restore);
    m_watch.start(kWatchMs);
}

DeviceLink::~DeviceLink()
{
    if (pointsAtTarget()) ::unlink(m_link.constData());
}

bool DeviceLink::pointsAtTarget() const
{
    char buffer[4096];
    const ssize_t n = ::readlink(m_link.constData(), buffer, sizeof buffer);
    return n >= 0 && QByteArray(buffer, n) == m_target;
}

void DeviceLink::place()
{
    struct stat existing {};
    if (::lstat(m_link.constData(), &existing) == 0 && !S_ISLNK(existing.st_mode))
        throw std::runtime_error(m_link.toStdString() + " exists and is not a symbolic link");
    // Made under a temporary name and renamed over the old link, so the name never dangles.
    const QByteArray temporary = m_link + ".tmp" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(m_target.constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), m_link.constData()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.constData());
        throw std::runtime_error("cannot link " + m_link.toStdString() + ": " + reason);
    }
}

void DeviceLink::restore()
{
    if (pointsAtTarget()) return;
    try {
        place();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "grainlink-sim: %s; no longer kept\n", error.what());
        m_watch.stop();
    }
}

}  // namespace grainlink::sim
