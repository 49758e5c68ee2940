#include "acquisition/side_file.h"

#include <QFile>

namespace grainlink {

QString AppendWholeLine(const QString& path, const QByteArray& line)
{
    // Unbuffered, so that a short write shows at once and nothing is left to a later flush.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 before = file.size();
    if (file.write(line) == line.size()) return {};
    const QString reason = file.errorString();
    file.resize(before);
    return reason.isEmpty() ? QStringLiteral("short write") : reason;
}

QString SideFileReport::text() const
{
    return reason.isEmpty() ? path + QStringLiteral(" is written again")
                            : QStringLiteral("cannot write %1: %2").arg(path, reason);
}

SideFileWriter::SideFileWriter(Reporter report) : m_report(std::move(report)) {}

bool SideFileWriter::Append(int unit, const QString& path, const QByteArray& line)
{
    const QString reason = AppendWholeLine(path, line);
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
