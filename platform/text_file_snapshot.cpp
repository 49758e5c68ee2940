#include "platform/text_file_snapshot.h"

#include "platform/file_descriptor.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grainlink {
namespace {

// Time stamps of some file systems are as coarse as two seconds: a file modified less than that
// before it was read might change again without its time stamp showing it.
constexpr time_t kTimeStampSlackSeconds = 2;

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool IsOlderThanSlack(const timespec& modified, const timespec& readAt)
{
    return readAt.tv_sec - modified.tv_sec > kTimeStampSlackSeconds;
}

}  // namespace

bool TextFileSnapshot::Identity::operator==(const Identity& other) const
{
    return device == other.device && inode == other.inode && mode == other.mode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec && changed.tv_sec == other.changed.tv_sec &&
           changed.tv_nsec == other.changed.tv_nsec;
}

TextFileSnapshot::TextFileSnapshot(QString path) : m_path(std::move(path)) {}

void TextFileSnapshot::Refresh()
{
    struct stat info = {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0) {
        m_trusted = false;
        m_contents.clear();
        if (errno == ENOENT || errno == ENOTDIR)
            m_status = {FileState::Missing, {}};
        else
            SetUnreadable(ErrnoText(errno));
        return;
    }
    const Identity identity{info.st_dev, info.st_ino, info.st_mode, info.st_size,
                            info.st_mtim, info.st_ctim};
    if (m_trusted && identity == m_identity) return;
    Load();
}

void TextFileSnapshot::Load()
{
    m_trusted = false;
    m_contents.clear();
    timespec readAt = {};
    clock_gettime(CLOCK_REALTIME, &readAt);
    // Not blocking, so that opening a FIFO cannot hang; what it is decides the rest.
    const FileDescriptor file(
        ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info = {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) return SetUnreadable(ErrnoText(errno));
    m_identity = {info.st_dev, info.st_ino, info.st_mode, info.st_size, info.st_mtim, info.st_ctim};
    if (!S_ISREG(info.st_mode)) return SetUnreadable(QStringLiteral("not a regular file"));

    const QString tooLarge = QStringLiteral("larger than %1 MiB").arg(kMaxSize >> 20);
    if (info.st_size > kMaxSize) return SetUnreadable(tooLarge);
    // Room for one byte more than the file holds, so that the end shows without a second pass;
    // a file that grows while being read is followed up to the limit.
    QByteArray data(info.st_size + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == data.size()) {
            if (size > kMaxSize) return SetUnreadable(tooLarge);
            data.resize(std::min<qsizetype>(2 * size, kMaxSize + 1));
        }
        const ssize_t got = ::read(file.get(), data.data() + size, data.size() - size);
        if (got == 0) break;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return SetUnreadable(ErrnoText(errno));
        size += got;
    }
    data.truncate(size);
    m_contents = data;
    m_status = {FileState::Read, {}};
    m_trusted = IsOlderThanSlack(info.st_mtim, readAt);
}

void TextFileSnapshot::SetUnreadable(const QString& reason)
{
    m_contents.clear();
    m_status = {FileState::Unreadable, reason};
}

}  // namespace grainlink
