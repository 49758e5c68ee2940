#pragma once

// What the benchmarks and the soak read about a running process: from /proc (Linux), and this
// process's own CPU time.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <ctime>

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

// A process's user and system time, in clock ticks (sysconf(_SC_CLK_TCK) a second); -1 when it
// cannot be read.
inline qint64 CpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();  // utime, stime
}

// This process's CPU time in seconds, all its threads.
inline double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace grainlink
