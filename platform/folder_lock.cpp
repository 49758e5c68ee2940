#include "platform/folder_lock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace grainlink {

FolderLock::FolderLock(const QString& folder)
    : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0) ::close(m_fd);  // which releases the lock
}

}  // namespace grainlink
