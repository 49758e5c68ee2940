#include "acquisition/side_file.h"

#include "platform/file_descriptor.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace grainlink {

QString AppendWholeLine(const QString& path, const QByteArray& line, const QByteArray& header)
{
    // Anything but a regular file is refused before it is opened, since opening a FIFO waits for
    // a reader and opening a device may act on it; the open never blocks either, in case the
    // path is replaced in between. Written without buffering, so that a short write shows at
    // once with the system's reason.
    const QString notARegularFile = QStringLiteral("not a regular file");
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) return notARegularFile;
    const FileDescriptor file(::open(name.constData(),
                                     O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY |
                                         O_CLOEXEC,
                                     0666));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) return qt_error_string(errno);
    if (!S_ISREG(info.st_mode)) return notARegularFile;

    const QByteArray data = info.st_size == 0 ? header + line : line;
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t n = ::write(file.get(), data.constData() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString reason = n < 0 ? qt_error_string(errno) : QStringLiteral("short write");
            // When cutting back fails as well, the write's reason is still the one to report.
            if (written > 0) std::ignore = ::ftruncate(file.get(), info.st_size);
            return reason;
        }
        written += n;
    }
    return {};
}

QString SideFileReport::text() const
{
    return reason.isEmpty() ? path + QStringLiteral(" is written again")
                            : QStringLiteral("cannot write %1: %2").arg(path, reason);
}

SideFileWriter::SideFileWriter(Reporter report) : m_report(std::move(report)) {}

bool SideFileWriter::Append(int unit, const QString& path, const QByteArray& line,
                            const QByteArray& header)
{
    const QString reason = AppendWholeLine(path, line, header);
    const auto failing = m_failing.constFind(path);
    if (reason.isEmpty()) {
        if (failing != m_failing.cend()) {
            m_failing.erase(failing);
            m_report(unit, SideFileReport{path, QString()});
        }
        return true;
    }
    if (failing == m_failing.cend()) {
        m_failing.insert(path, reason);
        m_report(unit, SideFileReport{path, reason});
    }
    return false;
}

}  // namespace grainlink
