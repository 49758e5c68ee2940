#pragma once

// What the benchmarks and the soak read about a running process from /proc (Linux).

#include <QByteArray>
#include <QFile>
#include <QString>

namespace grainlink {

// Resident set size of a process in KiB ("self" for this one); -1 when it cannot be read.
inline long ResidentKiB(const QString& pid = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
    return -1;
}

// Resident set size of this process in MiB; 0 when it cannot be read.
inline double ResidentMiB()
{
    const long kib = ResidentKiB();
    return kib < 0 ? 0 : static_cast<double>(kib) / 1024;
}

}  // namespace grainlink
