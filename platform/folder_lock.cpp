#include "platform/folder_lock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <cerrno>

namespace grainlink {

FolderLock::FolderLock(const QString& folder)
    : m_folder(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_folder.get() < 0) return;
    while (::flock(m_folder.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
}

}  // namespace grainlink
